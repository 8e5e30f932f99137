#include "core/stockapplication.h"

#include "core/httpget.h"
#include "core/inifile.h"
#include "core/providers/stockqqhistoryinterface.h"
#include "core/utils.h"

#include <QFileInfo>
#include <QHash>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTextCodec>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
const char* const kIniSection = "nonTradeDays";
const char* const kIniKey = "value";
const char* const kInitKey = "init";

QString klineKey(const QString& code, const QString& period, const QString& adjust) {
    return code + QLatin1Char(',') + period + QLatin1Char(',') + adjust;
}

QString configPath()
{
    return QFileInfo(QString::fromLatin1(StockApplication::kConfigFile)).absoluteFilePath();
}

QString unreadableMessage(const IniFile& ini)
{
    // A file of megabytes is no settings file of this program's making.
    const QString why = ini.isTooLarge() ? QStringLiteral("（文件大于 1 兆字节，不像是本程序的配置文件）")
                                         : QString();
    return QStringLiteral("无法读取配置文件 %1%2，本次运行使用默认的非交易日，不会修改该文件。")
        .arg(configPath(), why);
}

QString unwritableMessage(const IniFile& ini)
{
    return QStringLiteral("无法写入配置文件 %1（%2），该文件保持原样。")
        .arg(configPath(), writeFailureReason(ini.errorString()));
}

// Where the comment of config.ini's value begins: at a ";" or "#" after
// the days, with the blanks before it; the value's length when it has none.
// No day holds either sign, and neither byte is part of a character in
// UTF-8 or GBK, so the comment is found, and kept, as the bytes it is.
std::size_t commentStart(const std::string& value)
{
    std::size_t start = std::min(value.find_first_of(";#"), value.size());
    while (start > 0 && std::strchr(" \t\r\v\f", value[start - 1]))
        --start;
    return start;
}

// The codec of the days in config.ini's value: UTF-8, or GBK, the
// program's own 8-bit encoding, for text that is not UTF-8.
QTextCodec* daysCodec(const std::string& days)
{
    QTextCodec* utf8 = QTextCodec::codecForName("UTF-8");
    QTextCodec::ConverterState state;
    utf8->toUnicode(days.data(), int(days.size()), &state);
    // A character cut off at the end is no UTF-8 either.
    return state.invalidChars == 0 && state.remainingChars == 0 ? utf8
                                                                : QTextCodec::codecForName("GBK");
}

// The days of a list, parted as in config.ini's value: a file edited by hand
// may have blanks around the commas or between days; they part days and
// are never part of one, so every day is kept. A Chinese input method's "，"
// parts days as "," does. A value without blanks splits at its commas
// exactly as written, empty parts included.
QStringList splitNonTradeDays(const QString& value)
{
    static const QRegularExpression comma(QStringLiteral("[,，]"));
    QStringList days;
    for (const QString& part : value.split(comma)) {
        const QString words = part.simplified();
        if (words.isEmpty())
            days.append(QString());
        else
            days += words.split(QLatin1Char(' '));
    }
    return days;
}

// The length of the character that begins at s[i]: in valid UTF-8 as its
// first byte says; in GBK (GB18030) a first byte takes one more byte, or
// three in the four-byte form. No byte of a longer character is an ASCII
// sign below "@", so a "," or an ASCII blank always stands on its own.
std::size_t charLength(const std::string& s, std::size_t i, bool utf8) {
    const auto at = [&s](std::size_t k) { return k < s.size() ? unsigned(uchar(s[k])) : 0u; };
    const auto in = [](unsigned b, unsigned low, unsigned high) { return b >= low && b <= high; };
    const unsigned first = at(i);
    if (first < 0x80)
        return 1;
    if (utf8)
        return std::min<std::size_t>(first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2, s.size() - i);
    if (!in(first, 0x81, 0xFE))
        return 1;
    if (in(at(i + 1), 0x40, 0xFE) && at(i + 1) != 0x7F)
        return 2;
    if (in(at(i + 1), 0x30, 0x39) && in(at(i + 2), 0x81, 0xFE) && in(at(i + 3), 0x30, 0x39))
        return 4;
    return 1;
}

// The characters beyond ASCII that part days, as bytes in UTF-8 or GBK:
// "，" (a comma) and every blank QString::simplified() takes out.
const std::vector<std::pair<std::string, bool>>& wideSeparators(bool utf8) {
    const auto make = [](QTextCodec* codec) {
        std::vector<std::pair<std::string, bool>> separators;
        for (ushort u = 0x80; u < 0xFFFF; ++u) {
            const QChar c(u);
            if ((c.isSpace() || u == 0xFF0C) && codec->canEncode(c))
                separators.emplace_back(codec->fromUnicode(QString(c)).toStdString(), u == 0xFF0C);
        }
        return separators;
    };
    static const auto inUtf8 = make(QTextCodec::codecForName("UTF-8"));
    static const auto inGbk = make(QTextCodec::codecForName("GBK"));
    return utf8 ? inUtf8 : inGbk;
}

// One day of config.ini's value: its text and its bytes in the file.
struct DayEntry {
    QString text;
    std::string bytes;
};

// The days of config.ini's value without its comment, parted as
// splitNonTradeDays() parts them, each with its bytes as the file holds
// them: a day written back is written as it was, whatever its encoding.
QVector<DayEntry> dayEntries(const std::string& days) {
    QTextCodec* codec = daysCodec(days);
    const bool utf8 = codec == QTextCodec::codecForName("UTF-8");
    const auto& wide = wideSeparators(utf8);
    QVector<DayEntry> entries;
    std::size_t word = std::string::npos; // where the day being read began
    bool partHasDay = false;              // since the last comma
    const auto endWord = [&](std::size_t end) {
        if (word == std::string::npos)
            return;
        const std::string bytes = days.substr(word, end - word);
        // Read with the comma that ends it, as within the whole value: a
        // character cut short then reads as U+FFFD rather than as nothing.
        const std::string ended = bytes + ',';
        QString text = codec->toUnicode(ended.data(), int(ended.size()));
        text.chop(1);
        entries.append({text, bytes});
        word = std::string::npos;
        partHasDay = true;
    };
    // The end of the text ends the last part as a comma would.
    for (std::size_t i = 0; i <= days.size();) {
        const bool end = i == days.size();
        const std::size_t length = end ? 1 : charLength(days, i, utf8);
        bool comma = end || days[i] == ',';
        bool blank = !end && days[i] != '\0' && std::strchr(" \t\n\v\f\r", days[i]);
        for (const auto& separator : wide) {
            if (!comma && !blank && days.compare(i, length, separator.first) == 0)
                (separator.second ? comma : blank) = true;
        }
        if (comma || blank)
            endWord(i);
        else if (word == std::string::npos)
            word = i;
        if (comma) {
            if (!partHasDay)
                entries.append(DayEntry());
            partHasDay = false;
        }
        i += length;
    }
    return entries;
}

// config.ini's value with these days in place of those it holds: a day it
// holds keeps its bytes, a new one is in the encoding of the others; the
// comment after them stays byte for byte.
std::string configValue(const std::string& value, const QStringList& days) {
    const std::size_t comment = commentStart(value);
    const std::string held = value.substr(0, comment);
    const QVector<DayEntry> entries = dayEntries(held);
    // Per text the entry to take next: days of one text take its entries in
    // order, the last one again when they run out.
    QHash<QString, int> next;
    std::vector<int> sameAfter(std::size_t(entries.size()), -1);
    for (int i = entries.size() - 1; i >= 0; --i) {
        const auto found = next.constFind(entries[i].text);
        if (found != next.constEnd())
            sameAfter[std::size_t(i)] = *found;
        next.insert(entries[i].text, i);
    }
    QTextCodec* codec = daysCodec(held);
    std::string written;
    bool first = true;
    for (const QString& day : splitNonTradeDays(days.join(QLatin1Char(',')))) {
        if (!first)
            written += ',';
        first = false;
        const auto found = next.find(day);
        if (found == next.end()) {
            written += codec->fromUnicode(day).toStdString();
            continue;
        }
        written += entries[*found].bytes;
        if (sameAfter[std::size_t(*found)] >= 0)
            *found = sameAfter[std::size_t(*found)];
    }
    written.resize(commentStart(written));
    return written + value.substr(comment);
}

void setConfigDays(IniFile& ini, const QStringList& days) {
    ini.setValue(kIniSection, kIniKey,
                 configValue(ini.getRawValue(kIniSection, kIniKey, {}), days));
}

// The K-line client for one period and price adjustment.
StockQQHistoryInterface klineClient(const QString& period, const QString& adjust)
{
    StockQQHistoryInterface client;
    client.setParam(1, adjust);
    client.setParam(2, period);
    return client;
}

// No window is left at exit: the standard error stream is the one place.
void reportAtExit(const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}
} // namespace

// The file layer gives the system's English text, which is matched back to
// its cause here.
QString writeFailureReason(const std::string& error)
{
    static const struct {
        int code;
        const char* reason;
    } reasons[] = {
        {EACCES, "没有写入权限"},     {EPERM, "没有写入权限"},
        {EROFS, "文件系统只读"},      {ENOSPC, "磁盘空间不足"},
        {EDQUOT, "磁盘配额已满"},     {ENOENT, "所在文件夹不存在"},
        {ENOTDIR, "所在文件夹不存在"}, {ELOOP, "符号链接成环"},
        {ENAMETOOLONG, "路径过长"},   {EISDIR, "不是普通文件"},
        {EIO, "读写出错"},            {EBUSY, "文件正被占用"},
    };
    for (const auto& known : reasons) {
        if (error == std::strerror(known.code))
            return QString::fromUtf8(known.reason);
    }
    if (error == "not a regular file")
        return QStringLiteral("不是普通文件");
    if (error == IniFile::kTooLargeError)
        return QStringLiteral("文件将大于 1 兆字节");
    return QStringLiteral("系统错误");
}

StockApplication::StockApplication(int& argc, char** argv)
    : QApplication(argc, argv),
      m_userSettings(new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                   QStringLiteral("vesk"), QStringLiteral("lhb"), this))
{
    // A save killed half-way leaves its temporary file beside config.ini.
    IniFile::removeLeftTemporaries(kConfigFile);
    IniFile ini(kConfigFile);
    if (ini.isUnreadable()) {
        // The file may hold the user's days in a form we cannot read: run
        // with the defaults and never write it.
        m_configReadable = false;
        m_configProblem = unreadableMessage(ini);
        m_nonTradeDays = QString::fromLatin1(kDefaultNonTradeDays).split(QLatin1Char(','));
        return;
    }
    // Read whole, not up to its first blank, so no day after one is lost.
    std::string days = ini.getRawValue(kIniSection, kIniKey, {});
    days.resize(commentStart(days));
    const QVector<DayEntry> entries = dayEntries(days);
    if (entries.size() == 1 && entries.front().text.isEmpty()) {
        m_nonTradeDays = QString::fromLatin1(kDefaultNonTradeDays).split(QLatin1Char(','));
    } else {
        for (const DayEntry& entry : entries)
            m_nonTradeDays.append(entry.text);
    }
    // Closing rewrites the file at once, creating it when it was missing.
    if (!ini.close())
        m_configProblem = unwritableMessage(ini);
}

StockApplication::~StockApplication()
{
    if (m_configReadable) {
        IniFile ini(kConfigFile);
        if (ini.isUnreadable()) {
            reportAtExit(QStringLiteral("无法读取配置文件 %1，不会修改该文件；本次的非交易日没有保存。")
                             .arg(configPath()));
        } else {
            // Against the file as it is now.
            setConfigDays(ini, nonTradeDays());
            if (!ini.close())
                reportAtExit(unwritableMessage(ini));
        }
    }

    m_userSettings->setValue(kInitKey, QStringLiteral("TRUE"));
    m_userSettings->sync();
}

bool StockApplication::configHolds(const QStringList& days) const {
    IniFile ini(kConfigFile);
    // A file that is not read is not written either.
    const bool written = m_configReadable && !ini.isUnreadable();
    if (written)
        setConfigDays(ini, days);
    const bool holds = !written || ini.text().size() <= IniFile::kMaxFileBytes;
    ini.discard();
    return holds;
}

StockApplication* StockApplication::instance()
{
    return qobject_cast<StockApplication*>(QCoreApplication::instance());
}

QString StockApplication::userSettingsFile() const
{
    return m_userSettings->fileName();
}

QStringList StockApplication::nonTradeDays() const
{
    QMutexLocker lock(&m_mutex);
    return m_nonTradeDays;
}

void StockApplication::setNonTradeDays(const QStringList& days)
{
    QMutexLocker lock(&m_mutex);
    m_nonTradeDays = days;
}

void StockApplication::setDayStocks(const QString& date, const QVector<Stock>& stocks)
{
    QMutexLocker lock(&m_mutex);
    m_dayStocks.insert(date, stocks);
    for (const Stock& s : stocks)
        m_stockNames.insert(s.code, s.name);
}

void StockApplication::setLhbSeats(const QString& date, const QString& code,
                                   const QVector<LHBUnit>& units)
{
    QMutexLocker lock(&m_mutex);
    m_lhbSeats[date].insert(code, units);
}

void StockApplication::setSeatPageUrl(const QString& seatName, const QString& link)
{
    QMutexLocker lock(&m_mutex);
    m_seatPageUrls.insert(seatName, link);
}

void StockApplication::setRecommendation(const QString& code, const QString& text)
{
    QMutexLocker lock(&m_mutex);
    m_recommendations.insert(code, text);
}

QMap<QString, QVector<Stock>> StockApplication::dayStocks() const
{
    QMutexLocker lock(&m_mutex);
    return m_dayStocks;
}

QMap<QString, DaySeats> StockApplication::lhbSeats() const
{
    QMutexLocker lock(&m_mutex);
    return m_lhbSeats;
}

QMap<QString, QString> StockApplication::stockNames() const
{
    QMutexLocker lock(&m_mutex);
    return m_stockNames;
}

QMap<QString, QString> StockApplication::seatPageUrls() const
{
    QMutexLocker lock(&m_mutex);
    return m_seatPageUrls;
}

QMap<QString, QString> StockApplication::recommendations() const
{
    QMutexLocker lock(&m_mutex);
    return m_recommendations;
}

void StockApplication::clearCaches()
{
    QMutexLocker lock(&m_mutex);
    m_dayStocks.clear();
    m_klineCache.clear();
    m_klineUse.clear();
    m_lhbSeats.clear();
    m_stockNames.clear();
    m_recommendations.clear();
    ++m_cacheGeneration;
}

QVector<QPair<QString, QString>> StockApplication::detailPairs() const
{
    QMutexLocker lock(&m_mutex);
    QVector<QPair<QString, QString>> pairs;
    // A stock listed for several reasons on a day has one seat page for them
    // all: it is asked for once.
    QSet<QPair<QString, QString>> listed;
    for (auto it = m_dayStocks.cbegin(); it != m_dayStocks.cend(); ++it) {
        for (const Stock& s : it.value()) {
            // Stocks listed for a run of days ("连续") are not fetched.
            const auto pair = qMakePair(s.date, s.code);
            if (!s.typeText.contains(QStringLiteral("连续")) && !listed.contains(pair)) {
                listed.insert(pair);
                pairs.append(pair);
            }
        }
    }
    return pairs;
}

QVector<Stock> StockApplication::getKLines(const QString& code, bool* fetched)
{
    return getKLines(code, QLatin1String(kDefaultKLinePeriod), QLatin1String(kDefaultKLineAdjust),
                     fetched);
}

QVector<Stock> StockApplication::getKLines(const QString& code, const QString& period,
                                           const QString& adjust, bool* fetched,
                                           HttpGetStatus* fetch)
{
    QVector<Stock> bars;
    HttpGetStatus status;
    if (cachedKLines(code, period, adjust, &bars)) {
        status.ok = true; // nothing was fetched: none failed
    } else {
        // The fetch holds no lock: it runs a nested event loop.
        const KLineRequest request = klineRequest(code, period, adjust);
        const QString reply = request.url.isEmpty()
                                  ? QString()
                                  : httpGet(request.url, &status, nullptr, kHttpGetTimeoutMs,
                                            request.maxReplyBytes);
        bars = storeKLines(request, reply, &status);
    }
    if (fetched)
        *fetched = status.ok;
    if (fetch)
        *fetch = status;
    return bars;
}

bool StockApplication::cachedKLines(const QString& code, const QString& period,
                                    const QString& adjust, QVector<Stock>* bars)
{
    const QString key = klineKey(code, period, adjust);
    QMutexLocker lock(&m_mutex);
    auto it = m_klineCache.constFind(key);
    if (it == m_klineCache.constEnd())
        return false;
    m_klineUse.removeOne(key);
    m_klineUse.append(key);
    *bars = it.value();
    return true;
}

KLineRequest StockApplication::klineRequest(const QString& code, const QString& period,
                                            const QString& adjust) const
{
    KLineRequest request;
    request.code = code;
    request.period = period;
    request.adjust = adjust;
    request.url = klineClient(period, adjust).urls(QStringList{code}).value(0);
    request.maxReplyBytes = StockQQHistoryInterface::kMaxReplyBytes;
    QMutexLocker lock(&m_mutex);
    request.cacheGeneration = m_cacheGeneration;
    return request;
}

QVector<Stock> StockApplication::storeKLines(const KLineRequest& request, const QString& reply,
                                             HttpGetStatus* fetch)
{
    // An error or portal page, or a reply cut off in transfer, is no history:
    // drawing what it holds would show too few or bogus bars. Nor is a reply
    // without a bar that can be drawn: every listed stock has one. Neither is
    // kept, so the next call asks again.
    FetchFailure failure = serviceReplyFailure(*fetch, reply);
    QVector<Stock> bars;
    if (failure == FetchFailure::None) {
        bars = klineClient(request.period, request.adjust).parse(reply, request.code);
        if (bars.isEmpty())
            failure = FetchFailure::NoData;
    }
    fetch->ok = failure == FetchFailure::None;
    fetch->failure = failure;
    if (!fetch->ok)
        return {};
    // More bars than were asked for are kept no longer than the parse: the
    // latest ones are all that is asked for and all that is shown.
    if (bars.size() > StockQQHistoryInterface::kBarsAsked)
        bars = bars.mid(bars.size() - StockQQHistoryInterface::kBarsAsked);

    const QString key = klineKey(request.code, request.period, request.adjust);
    QMutexLocker lock(&m_mutex);
    if (request.cacheGeneration == m_cacheGeneration) {
        if (!m_klineCache.contains(key))
            m_klineUse.append(key);
        m_klineCache.insert(key, bars);
        while (m_klineUse.size() > kKLineCacheEntries)
            m_klineCache.remove(m_klineUse.takeFirst());
    }
    return bars;
}

bool StockApplication::isInitialized() const
{
    return m_userSettings->value(kInitKey, QStringLiteral("FALSE")).toString() == QLatin1String("TRUE");
}
