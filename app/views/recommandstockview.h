#pragma once

#include <QWidget>

class QGroupBox;
class QHBoxLayout;
class QListWidget;
class QListWidgetItem;
class QTextEdit;

// The codes the list screens recommended in the last scan; the highlighted
// code's recommendation text is shown.
class RecommandStockView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(RecommandStockView)
public:
    explicit RecommandStockView(QWidget* parent = nullptr);
    ~RecommandStockView() override;

    // Reloads the code list from the recommendation cache. A notice (what
    // the scan could not fetch) is shown in the analysis text, and stays
    // above a pick's text when a code is clicked.
    void refresh(const QString& notice = QString());
    // Empties the list, the analysis text and the notice.
    void clear();

    QListWidget* stockList() const { return m_stockList; }
    QTextEdit* analysisText() const { return m_analysisText; }

    static const QString& emptyDayText();

public slots:
    void onClickStockList(QListWidgetItem* item);

private:
    QGroupBox* createGroupBox(const QString& title, QWidget* content);

    QListWidget* m_stockList;
    QTextEdit* m_analysisText;
    QHBoxLayout* m_layout;
    QString m_notice;
};
