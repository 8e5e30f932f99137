#include "core/utils.h"

#include "core/cancelflag.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRegExp>
#include <QTextCodec>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
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

// The text without its double quotes, and a mark for each character left
// of whether it stood inside a quoted string (a backslash escapes the next
// character there). Characters are taken as structure only where unquoted.
struct UnquotedText {
    QString text;
    QByteArray quoted;

    explicit UnquotedText(const QString& source) {
        text.reserve(source.size());
        quoted.reserve(source.size());
        bool inString = false;
        bool escaped = false;
        int opened = 0;
        for (const QChar c : source) {
            // Every quote goes, as it always did; an escaped one ends nothing.
            if (c == QLatin1Char('"')) {
                if (!escaped)
                    inString = !inString;
                if (inString && !escaped)
                    opened = text.size();
                escaped = false;
                continue;
            }
            escaped = inString && !escaped && c == QLatin1Char('\\');
            text.append(c);
            quoted.append(inString ? 1 : 0);
        }
        // A quote that is never closed opens no string: the rest of the
        // text is read as the old parser read it, not as one long value.
        if (inString)
            std::fill(quoted.begin() + opened, quoted.end(), 0);
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

QVector<QMap<QString, QString>> parseObjectList(const QString& text) {
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
    std::vector<char> closers;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            i = endOfQuoted(text, i) - 1;
        } else if (c == QLatin1Char('{') || c == QLatin1Char('[')) {
            closers.push_back(c == QLatin1Char('{') ? '}' : ']');
        } else if (c == QLatin1Char('}') || c == QLatin1Char(']')) {
            if (c.toLatin1() != closers.back())
                return ServiceReplyShape::Foreign;
            closers.pop_back();
            if (closers.empty())
                break;
        }
    }
    if (!closers.empty() || i >= n)
        return ServiceReplyShape::CutOff; // the value began and never closed
    // After it only blanks and one ";".
    ++i;
    skipBlanks();
    if (i < n && text.at(i) == QLatin1Char(';'))
        ++i;
    skipBlanks();
    return i == n ? ServiceReplyShape::Whole : ServiceReplyShape::Foreign;
}

bool isServiceReply(const QString& text) {
    return serviceReplyShape(text) == ServiceReplyShape::Whole;
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
    QRegExp rx(pattern, Qt::CaseInsensitive, QRegExp::RegExp);
    rx.setMinimal(true);
    if (rx.indexIn(text, 0) < 0)
        return QString();
    return rx.cap(0);
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
