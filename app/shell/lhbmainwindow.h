#pragma once

#include <QMainWindow>

class LHBPKWidget;
class QTemporaryFile;

// The application's one top-level window: the scan widget in the middle, a
// settings menu and a help menu.
class LHBMainWindow final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY(LHBMainWindow)
public:
    explicit LHBMainWindow(QWidget* parent = nullptr);
    ~LHBMainWindow() override;

public slots:
    void visitHome();
    void visitAbout();
    void visitSetting();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    LHBPKWidget* m_pkWidget = nullptr;
    // The information page handed to the browser; kept until the window
    // goes so the browser can still read it.
    QTemporaryFile* m_infoPage = nullptr;
};
