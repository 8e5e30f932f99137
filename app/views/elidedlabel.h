#pragma once

#include <QLabel>

// A one-line label that never asks for more width than a few characters:
// a text longer than its room is drawn cut off with "…", and its tooltip
// then holds the text (plainToolTip). So no stock name, however long,
// widens the window.
class ElidedLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY(ElidedLabel)
public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    ~ElidedLabel() override;

    QSize minimumSizeHint() const override;

    // The text as drawn at the label's present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
