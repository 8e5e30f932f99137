#include "app/shell/stockdownloaddlg.h"

#include "core/asyncfetch.h"
#include "core/providers/stockifenginterface.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QTimerEvent>
#include <QVBoxLayout>

namespace {
constexpr int kTickMs = 600;
} // namespace

QString StockDownLoadDlg::cacheDirectory() {
    return QStringLiteral("data/dl/");
}

StockDownLoadDlg::StockDownLoadDlg(const QStringList& codes, QWidget* parent)
    : QDialog(parent), m_client(std::make_unique<StockiFengInterface>()) {
    setWindowTitle(QStringLiteral("数据更新"));
    setFixedSize(400, 96);
    // It runs by itself to the end; the disabled dialog ignores clicks and keys.
    setDisabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("正在更新数据,请稍等"), this));
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    m_progress = new QProgressBar(this);
    m_progress->setValue(0);
    layout->addWidget(m_progress);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, Qt::Horizontal, this);
    m_buttons->setDisabled(true);
    layout->addWidget(m_buttons);

    m_client->setParam(0, cacheDirectory());
    // The text writer makes no folders: without this one no reply would be
    // saved in a fresh working directory.
    QDir().mkpath(cacheDirectory());

    m_codes = codes;
    m_urls = m_client->urls(codes);
    m_total = codes.size();
    m_fetch = new AsyncFetch(this);
    connect(m_fetch, &AsyncFetch::finished, this,
            [this](const QString& reply) { onFetched(reply); });
    m_timerId = startTimer(kTickMs);
}

StockDownLoadDlg::~StockDownLoadDlg() = default;

void StockDownLoadDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timerId) {
        QDialog::timerEvent(event);
        return;
    }
    killTimer(m_timerId);
    m_timerId = 0;

    const int left = m_codes.size();
    if (left == 0) {
        close();
        return;
    }
    // The list is worked from its end.
    m_fetch->start(m_urls.constLast(), kHttpGetMaxBodyBytes);
}

void StockDownLoadDlg::onFetched(const QString& reply) {
    const QString code = m_codes.constLast();
    // Read without the code first, which saves nothing: a reply without bars
    // (the empty text of a failed fetch, an error page) must not replace the
    // stock's last good copy.
    if (!m_client->parse(reply, QString()).isEmpty())
        m_client->parse(reply, code);
    m_codes.removeLast();
    m_urls.removeLast();

    m_progress->setValue((m_total - m_codes.size()) * 100 / m_total);
    m_timerId = startTimer(kTickMs);
}
