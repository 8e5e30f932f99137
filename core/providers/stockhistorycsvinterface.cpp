#include "core/providers/stockhistorycsvinterface.h"

#include "core/providers/barorder.h"
#include "core/providers/numberconversion.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace {

// The service numbers Shanghai codes with a leading 0, Shenzhen with a 1.
const QString kHistoryUrl = QStringLiteral("http://%1/service/chddata.html?code=%2&start=%3");

constexpr int kDaysBack = 1080;
constexpr int kFieldCount = 16;
// A reply shorter than this (header and 26 days) holds no usable history.
constexpr int kMinLines = 27;

bool isPlainCode(const QString& code) {
    if (code.isEmpty())
        return false;
    for (const QChar c : code) {
        if (c.unicode() > 0x7f || !c.isLetterOrNumber())
            return false;
    }
    return true;
}

} // namespace

QStringList StockHistoryCsvInterface::urls(const QStringList& codes) const {
    QStringList result;
    // The service reads its dates as eight digits.
    const QString start =
        QDate::currentDate().addDays(-kDaysBack).toString(QStringLiteral("yyyyMMdd"));
    for (const QString& code : codes) {
        const QString serviceCode =
            (code.startsWith(QLatin1Char('6')) ? QStringLiteral("0") : QStringLiteral("1")) + code;
        result.append(kHistoryUrl.arg(QLatin1String(kDailyHistoryCsvHost), serviceCode, start));
    }
    return result;
}

QVector<Stock> StockHistoryCsvInterface::parse(const QString& text) {
    QVector<Stock> bars;
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() < kMinLines)
        return bars;

    // Line 0 is the header; the reply runs newest first, so the walk from
    // the last line gives the bars oldest first.
    for (int i = lines.size() - 1; i >= 1; --i) {
        const QStringList fields = lines.at(i).split(QLatin1Char(','));
        if (fields.size() != kFieldCount)
            continue;
        Stock bar;
        bar.date = fields.at(0);
        // The service marks the code as text with a leading apostrophe.
        bar.code = fields.at(1).mid(1);
        bar.name = fields.at(2);
        bar.close = readFloatFigure(fields.at(3).trimmed());
        bar.high = readFloatFigure(fields.at(4));
        bar.low = readFloatFigure(fields.at(5));
        bar.open = readFloatFigure(fields.at(6));
        bar.change = readFloatFigure(fields.at(8));
        bar.changePercent = readFloatFigure(fields.at(9));
        bar.turnoverRate = readFloatFigure(fields.at(10));
        bar.amount = readFloatFigure(fields.at(11));
        bar.volume = readFloatFigure(fields.at(12));
        // Share counts run to ten digits, beyond what a float holds exactly.
        bar.floatShares = saturatingToInt(readFigure(fields.at(13)));
        bar.totalShares = saturatingToInt(readFigure(fields.at(14)));
        // Days without trading are listed with a close of 0.
        if (!(bar.close >= 0.01f))
            continue;
        bars.append(bar);
    }
    // The copy is named by the code of the reply's oldest line.
    const QString code = bars.isEmpty() ? QString() : bars.constFirst().code;
    orderBarsByDate(bars);

    // Keep the reply under the code it holds; a reply without bars names no
    // code. The code comes from the reply, so only a plain code may name the
    // file: a text such as "../x" must not lead the write out of the folder.
    if (!m_directory.isEmpty() && !bars.isEmpty() && isPlainCode(code)) {
        const QString path = m_directory + code;
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeTextFile(path, text);
    }
    return bars;
}
