#include "core/utils.h"

#include "core/cancelflag.h"
#include "core/providers/markersearch.h"
#include "core/providers/numberconversion.h"

#include <QCoreApplication>
#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QTextCodec>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

void delayMs(int ms) {
    delayMs(ms, nullptr);
}

bool delayMs(int ms, const CancelFlag* cancel) {
    const auto cancelled = [cancel] { return cancel && cancel->isCancelled(); };
    if (ms <= 0)
        return !cancelled();
    // A monotonic deadline: the wait neither wraps at midnight nor follows
    // changes of the wall clock.
    const QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    if (!QCoreApplication::instance()) {
        // No event machinery to keep alive: a plain sleep, in short steps
        // when someone may ask to stop.
        while (!cancelled() && !deadline.hasExpired())
            QThread::msleep(static_cast<unsigned long>(
                qBound<qint64>(1, deadline.remainingTime(), cancel ? 20 : ms)));
        return !cancelled();
    }
    // The local loop sleeps in the event dispatcher until the timer ends it,
    // delivering the thread's events meanwhile instead of spinning.
    while (!deadline.hasExpired()) {
        const qint64 remaining = deadline.remainingTime();
        if (remaining <= 0)
            break;
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        // Watched before the check, so a request raised in between still
        // ends the loop.
        if (cancel)
            QObject::connect(cancel, &CancelFlag::cancelled, &loop, &QEventLoop::quit);
        if (cancelled())
            return false;
        timer.start(static_cast<int>(remaining));
        loop.exec();
    }
    return !cancelled();
}

QString readTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.readAll();
    file.close();
    return QTextCodec::codecForLocale()->toUnicode(bytes);
}

void writeTextFile(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    // The reader's codec, so that what is written reads back unchanged.
    file.write(QTextCodec::codecForLocale()->fromUnicode(text));
    file.close();
}

namespace {

// Appends to text what the string escape at source[i] (a backslash) stands
// for, as JSON decodes it; returns the characters it takes. One that is no
// escape keeps its backslash.
int appendEscape(const QString& source, int i, QString& text) {
    const QChar next = i + 1 < source.size() ? source.at(i + 1) : QChar();
    // Each escape letter, then what it stands for.
    static const char kSingle[] = "\"\"\\\\//n\nt\tr\rb\bf\f";
    for (int k = 0; kSingle[k]; k += 2) {
        if (next == QLatin1Char(kSingle[k])) {
            text.append(QLatin1Char(kSingle[k + 1]));
            return 2;
        }
    }
    if (next == QLatin1Char('u')) {
        // Four hex digits; a pair's halves come one by one and stand
        // together again in the 16-bit text.
        ushort code = 0;
        int digits = 0;
        for (; digits < 4 && i + 2 + digits < source.size(); ++digits) {
            const ushort d = source.at(i + 2 + digits).unicode();
            const int value = d >= '0' && d <= '9'   ? d - '0'
                              : d >= 'a' && d <= 'f' ? d - 'a' + 10
                              : d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                     : -1;
            if (value < 0)
                break;
            code = static_cast<ushort>(code * 16 + value);
        }
        if (digits == 4) {
            text.append(QChar(code));
            return 6;
        }
    }
    text.append(QLatin1Char('\\'));
    return 1;
}

// The text without its double quotes, and a mark for each character left
// of whether it stood inside a quoted string (a backslash escapes the next
// character there). Characters are taken as structure only where unquoted.
struct UnquotedText {
    QString text;
    QByteArray quoted;

    explicit UnquotedText(const QString& source) {
        const int n = source.size();
        text.reserve(n);
        quoted.reserve(n);
        bool inString = false;
        int opened = 0;       // where the open string's text starts
        int openedSource = 0; // and its opening quote in the source
        for (int i = 0; i < n; ++i) {
            const QChar c = source.at(i);
            // Every quote goes, as it always did.
            if (c == QLatin1Char('"')) {
                inString = !inString;
                opened = text.size();
                openedSource = i;
                continue;
            }
            if (inString && c == QLatin1Char('\\')) {
                // Decoded as JSON decodes it, and text whatever it reads as.
                const int used = appendEscape(source, i, text);
                quoted.append(QByteArray(text.size() - quoted.size(), 1));
                i += used - 1;
                continue;
            }
            text.append(c);
            quoted.append(inString ? 1 : 0);
        }
        // A quote that is never closed opens no string: the rest of the
        // text is read as the old parser read it, not as one long value.
        if (inString) {
            text.truncate(opened);
            quoted.truncate(opened);
            for (int i = openedSource + 1; i < n; ++i) {
                if (source.at(i) != QLatin1Char('"'))
                    text.append(source.at(i));
            }
            quoted.append(QByteArray(text.size() - quoted.size(), 0));
        }
    }

    bool plainAt(int pos, QLatin1String marker) const {
        for (int i = 0; i < marker.size(); ++i) {
            if (quoted.at(pos + i))
                return false;
        }
        return true;
    }
    // The first or last place in [from, to) where marker stands unquoted; -1 if none.
    int indexOf(QLatin1String marker, int from, int to) const {
        const QStringRef range = text.midRef(from, to - from);
        for (int pos = range.indexOf(marker); pos >= 0; pos = range.indexOf(marker, pos + 1)) {
            if (plainAt(from + pos, marker))
                return from + pos;
        }
        return -1;
    }
    int lastIndexOf(QLatin1String marker, int from, int to) const {
        const QStringRef range = text.midRef(from, to - from);
        for (int pos = range.lastIndexOf(marker); pos >= 0;
             pos = pos > 0 ? range.lastIndexOf(marker, pos - 1) : -1) {
            if (plainAt(from + pos, marker))
                return from + pos;
        }
        return -1;
    }
};

} // namespace

namespace {

// The index just past the bracket that closes the array or object opening at
// `open`, brackets paired outside strings; kNeverClosed when the text ends
// first, kWronglyClosed when a bracket of the other kind closes it.
constexpr int kNeverClosed = -1;
constexpr int kWronglyClosed = -2;
int endOfBracketed(const QString& text, int open) {
    std::vector<char> closers;
    const int n = text.size();
    for (int i = open; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            i = endOfQuoted(text, i) - 1;
        } else if (c == QLatin1Char('{') || c == QLatin1Char('[')) {
            closers.push_back(c == QLatin1Char('{') ? '}' : ']');
        } else if (c == QLatin1Char('}') || c == QLatin1Char(']')) {
            if (closers.empty() || c.toLatin1() != closers.back())
                return kWronglyClosed;
            closers.pop_back();
            if (closers.empty())
                return i + 1;
        }
    }
    return kNeverClosed;
}

// The JSON array that opens at `open`, or false.
bool readJsonArrayAt(const QString& text, int open, QJsonArray* array) {
    if (open < 0 || open >= text.size() || text.at(open) != QLatin1Char('['))
        return false;
    const int end = endOfBracketed(text, open);
    if (end < 0)
        return false;
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(text.midRef(open, end - open).toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return false;
    *array = document.array();
    return true;
}

QString jsonValueText(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    case QJsonValue::Undefined:
        break;
    }
    return QString();
}

} // namespace

QString decodeStringEscapes(const QString& text) {
    if (!text.contains(QLatin1Char('\\')))
        return text;
    QString decoded;
    decoded.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\\'))
            i += appendEscape(text, i, decoded) - 1;
        else
            decoded.append(text.at(i));
    }
    return decoded;
}

bool readJsonObjectList(const QString& text, QVector<QMap<QString, QString>>* rows) {
    // The first "[" outside strings whose first element is an object.
    int open = -1;
    for (int from = 0; (open = indexOfUnquoted(text, QLatin1String("["), from)) >= 0;
         from = open + 1) {
        int next = open + 1;
        while (next < text.size() && text.at(next).isSpace())
            ++next;
        if (next < text.size() && text.at(next) == QLatin1Char('{'))
            break;
    }
    QJsonArray array;
    if (!readJsonArrayAt(text, open, &array))
        return false;
    rows->clear();
    for (const QJsonValue& element : qAsConst(array)) {
        const QJsonObject object = element.toObject();
        QMap<QString, QString> row;
        for (auto it = object.constBegin(); it != object.constEnd(); ++it)
            row.insert(it.key(), jsonValueText(it.value()));
        if (!row.isEmpty())
            rows->append(row);
    }
    return true;
}

QVector<QStringList> arrayOfArraysRows(const QString& text, int open, int close) {
    QVector<QStringList> rows;
    QJsonArray array;
    if (readJsonArrayAt(text, open, &array)) {
        for (const QJsonValue& element : qAsConst(array)) {
            if (!element.isArray())
                continue;
            QStringList values;
            for (const QJsonValue& value : element.toArray())
                values.append(jsonValueText(value));
            rows.append(values);
        }
        return rows;
    }
    const int begin = open + 2;
    QString body = text.mid(begin, close < begin ? -1 : close - begin);
    body.remove(QLatin1Char('"'));
    for (const QString& line : body.split(QStringLiteral("],[")))
        rows.append(line.split(QLatin1Char(',')));
    return rows;
}

QVector<QMap<QString, QString>> parseObjectList(const QString& text) {
    QVector<QMap<QString, QString>> jsonRows;
    if (readJsonObjectList(text, &jsonRows))
        return jsonRows;

    // The designed reading (quotes removed, then cut at "[{", the last "}]",
    // "},{", "," and the first ":"), with the cuts made only outside quoted
    // values: a title such as "净利润增长1,200%" stays whole. A text whose
    // quoted values hold none of those characters reads exactly as before.
    const UnquotedText body(text);
    const QString& t = body.text;
    // Without "[{" the body starts one character in (start -1 + 2).
    const int open = body.indexOf(QLatin1String("[{"), 0, t.size());
    int begin = qMin(open + 2, t.size());
    int end = t.size();
    while (begin < end && t.at(begin).isSpace())
        ++begin;
    while (end > begin && t.at(end - 1).isSpace())
        --end;
    const int close = body.lastIndexOf(QLatin1String("}]"), begin, end);
    if (close >= 0)
        end = close;

    QVector<QMap<QString, QString>> rows;
    int objectStart = begin;
    while (objectStart <= end) {
        int objectEnd = body.indexOf(QLatin1String("},{"), objectStart, end);
        if (objectEnd < 0)
            objectEnd = end;
        QMap<QString, QString> row;
        int pieceStart = objectStart;
        while (pieceStart <= objectEnd) {
            int pieceEnd = body.indexOf(QLatin1String(","), pieceStart, objectEnd);
            if (pieceEnd < 0)
                pieceEnd = objectEnd;
            const int colon = body.indexOf(QLatin1String(":"), pieceStart, pieceEnd);
            if (colon >= 0)
                row.insert(t.mid(pieceStart, colon - pieceStart),
                           t.mid(colon + 1, pieceEnd - colon - 1));
            pieceStart = pieceEnd + 1;
        }
        if (!row.isEmpty())
            rows.append(row);
        objectStart = objectEnd + 3;
    }
    return rows;
}

int endOfQuoted(const QString& text, int quote) {
    const int n = text.size();
    for (int i = quote + 1; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\'))
            ++i;
        else if (c == QLatin1Char('"'))
            return i + 1;
    }
    return n;
}

int indexOfUnquoted(const QString& text, QLatin1String marker, int from) {
    const int n = text.size();
    for (int i = qMax(0, from); i < n; ++i) {
        if (text.at(i) == QLatin1Char('"'))
            i = endOfQuoted(text, i) - 1;
        else if (text.midRef(i).startsWith(marker))
            return i;
    }
    return -1;
}

ServiceReplyShape serviceReplyShape(const QString& text) {
    const int n = text.size();
    int i = 0;
    const auto skipBlanks = [&] {
        while (i < n && text.at(i).isSpace())
            ++i;
    };
    const auto isNameChar = [](QChar c, bool first) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
               (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('_') ||
               c == QLatin1Char('$') || (!first && c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    };
    skipBlanks();
    // An optional "var name=" or "name=" before the value.
    if (i < n && isNameChar(text.at(i), true)) {
        int name = i;
        while (i < n && isNameChar(text.at(i), false))
            ++i;
        if (text.midRef(name, i - name) == QLatin1String("var") && i < n && text.at(i).isSpace()) {
            skipBlanks();
            name = i;
            while (i < n && isNameChar(text.at(i), i == name))
                ++i;
            if (i == name)
                return ServiceReplyShape::Foreign;
        }
        skipBlanks();
        if (i >= n || text.at(i) != QLatin1Char('='))
            return ServiceReplyShape::Foreign;
        ++i;
        skipBlanks();
    }
    if (i >= n || (text.at(i) != QLatin1Char('{') && text.at(i) != QLatin1Char('[')))
        return ServiceReplyShape::Foreign;
    // The value's brackets in pairs, outside strings; it must close.
    const int end = endOfBracketed(text, i);
    if (end == kWronglyClosed)
        return ServiceReplyShape::Foreign;
    if (end < 0)
        return ServiceReplyShape::CutOff; // the value began and never closed
    i = end;
    // After it only blanks and one ";".
    skipBlanks();
    if (i < n && text.at(i) == QLatin1Char(';'))
        ++i;
    skipBlanks();
    return i == n ? ServiceReplyShape::Whole : ServiceReplyShape::Foreign;
}

bool isServiceReply(const QString& text) {
    return serviceReplyShape(text) == ServiceReplyShape::Whole;
}

bool isDayText(const QString& date) {
    // Read by hand: QDate's format parser costs more than the rest of a bar.
    if (date.size() != 10 || date.at(4) != QLatin1Char('-') || date.at(7) != QLatin1Char('-'))
        return false;
    const auto number = [&date](int from, int length) {
        int value = 0;
        for (int i = from; i < from + length; ++i) {
            const int digit = date.at(i).digitValue();
            if (digit < 0 || digit > 9 || date.at(i).unicode() > 127)
                return -1;
            value = value * 10 + digit;
        }
        return value;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    return year > 0 && month > 0 && day > 0 && QDate(year, month, day).isValid();
}

double readFigure(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = trimmed.toDouble(&ok);
    if (!ok && trimmed.contains(QLatin1Char(','))) {
        // Commas only between whole groups of three digits: "1,5" is no figure.
        static const QRegularExpression grouped(
            QStringLiteral("^[+-]?[0-9]{1,3}(,[0-9]{3})+(\\.[0-9]*)?$"));
        if (grouped.match(trimmed).hasMatch())
            value = QString(trimmed).remove(QLatin1Char(',')).toDouble(&ok);
    }
    return ok && std::isfinite(value) ? value : std::numeric_limits<double>::quiet_NaN();
}

float readFloatFigure(const QString& text) {
    return narrowToFloat(readFigure(text));
}

QString figureText(double value, char format, int precision) {
    if (!std::isfinite(value))
        return QStringLiteral("-");
    const QString text = QString::number(value, format, precision);
    if ((format != 'g' && format != 'G') || !text.contains(QLatin1Char(format == 'g' ? 'e' : 'E')))
        return text;
    // "1.23457e+06" is no figure a trader reads: a large one is written out
    // whole, a tiny one with its significant digits after the zeros.
    constexpr int kMaxDecimals = 15;
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = qBound(0, qMax(precision, 1) - 1 - exponent, kMaxDecimals);
    return fixedFigureText(value, decimals);
}

QString fixedFigureText(double value, int decimals) {
    QString plain = QString::number(value, 'f', decimals);
    if (plain.contains(QLatin1Char('.'))) {
        while (plain.endsWith(QLatin1Char('0')))
            plain.chop(1);
        if (plain.endsWith(QLatin1Char('.')))
            plain.chop(1);
    }
    return plain == QLatin1String("-0") ? QStringLiteral("0") : plain;
}

QString wanAmountText(double wan) {
    const QString inWan = figureText(wan);
    // Compared as shown, so that 9999.999 reads "1.00亿", not "10000万".
    if (!std::isfinite(wan) || std::fabs(inWan.toDouble()) < 10000.0)
        return inWan + QStringLiteral("万");
    return QString::number(wan / 10000.0, 'f', 2) + QStringLiteral("亿");
}

namespace {

// What a one-line place does with a character: keeps it, shows a blank, or drops it.
enum class OnOneLine { Keep, Blank, Drop };

OnOneLine onOneLine(QChar c) {
    const ushort u = c.unicode();
    if (u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029)
        return OnOneLine::Blank;
    if (u == 0x061c || u == 0x200e || u == 0x200f || (u >= 0x202a && u <= 0x202e) ||
        (u >= 0x2066 && u <= 0x2069))
        return OnOneLine::Drop;
    return OnOneLine::Keep;
}

} // namespace

QString oneLineText(const QString& text, int maxChars) {
    // Cells are painted through this: a clean text costs one look at each character.
    const auto first = std::find_if(text.cbegin(), text.cend(),
                                    [](QChar c) { return onOneLine(c) != OnOneLine::Keep; });
    QString line;
    if (first == text.cend()) {
        line = text;
    } else {
        line.reserve(text.size());
        line.append(text.constData(), int(first - text.cbegin()));
        for (auto it = first; it != text.cend(); ++it) {
            const OnOneLine what = onOneLine(*it);
            if (what != OnOneLine::Drop)
                line.append(what == OnOneLine::Blank ? QChar(QLatin1Char(' ')) : *it);
        }
    }
    if (maxChars >= 1 && line.size() > maxChars) {
        int keep = maxChars - 1;
        if (keep > 0 && line.at(keep - 1).isHighSurrogate())
            --keep; // never half a character
        line = line.left(keep) + QChar(0x2026);
    }
    return line;
}

QStringList splitLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.trimmed();
    return lines;
}

QString regexFirstCapture(const QString& text, const QString& pattern) {
    return captureMatches(text, pattern, 1).value(0);
}

float pointLineDistance(const QLineF& line, float x, float y) {
    const float x1 = static_cast<float>(line.x1());
    const float y1 = static_cast<float>(line.y1());
    const float x2 = static_cast<float>(line.x2());
    const float y2 = static_cast<float>(line.y2());
    const float k = (y1 - y2) / (x1 - x2);
    const float b = y1 - k * x1;
    return (y - k * x - b) / std::sqrt(k * k + 1.0f);
}

void forEachFile(const QString& dirPath, FileVisitor* visitor) {
    QDir dir(dirPath);
    if (!visitor || !dir.exists())
        return;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::NoSymLinks);
    const int count = entries.size();
    for (int i = 0; i < count; ++i)
        visitor->visit(entries.at(i).absoluteFilePath(), i, count);
}
