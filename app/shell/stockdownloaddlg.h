#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

class AsyncFetch;
class QDialogButtonBox;
class QProgressBar;
class QTimerEvent;
class StockiFengInterface;

// Fetches the daily bars of a list of stocks, one stock per 600 ms tick,
// and leaves a copy of each reply under "data/dl/"; shows how far it has got
// and closes itself after the last stock. It takes no input while it runs.
class StockDownLoadDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(StockDownLoadDlg)
public:
    // Starts at once; the caller shows the dialog (with exec, say).
    StockDownLoadDlg(const QStringList& codes, QWidget* parent = nullptr);
    ~StockDownLoadDlg() override;

    // The folder, relative to the working directory, that the replies are
    // saved in, each as a file named by its code.
    static QString cacheDirectory();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void onFetched(const QString& reply);

    QProgressBar* m_progress = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    std::unique_ptr<StockiFengInterface> m_client;
    QStringList m_codes;
    QStringList m_urls;
    int m_total = 0;
    int m_timerId = 0;
    // The tick's fetch; the next tick is timed from its end, as the window
    // keeps turning in between.
    AsyncFetch* m_fetch = nullptr;
};
