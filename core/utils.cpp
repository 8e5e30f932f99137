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

#include <cmath>

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

QVector<QMap<QString, QString>> parseObjectList(const QString& text) {
    QString body = text;
    body.remove(QLatin1Char('"'));
    // Without "[{" the index is -1 and the first character is dropped; mid()
    // clamps, so no position can fall outside the text.
    const int start = body.indexOf(QLatin1String("[{"));
    body = body.mid(start + 2).trimmed();
    const int end = body.lastIndexOf(QLatin1String("}]"));
    if (end >= 0)
        body = body.left(end);

    QVector<QMap<QString, QString>> rows;
    const QStringList objects = body.split(QStringLiteral("},{"));
    for (const QString& object : objects) {
        QMap<QString, QString> row;
        const QStringList pieces = object.split(QLatin1Char(','));
        for (const QString& piece : pieces) {
            const int colon = piece.indexOf(QLatin1Char(':'));
            if (colon < 0)
                continue;
            row.insert(piece.left(colon), piece.mid(colon + 1));
        }
        if (!row.isEmpty())
            rows.append(row);
    }
    return rows;
}

bool isWholeJsonReply(const QString& text) {
    // One pass with a stack depth only: the services' replies nest a few
    // levels, and any text gives an answer in linear time.
    int depth = 0;
    bool inString = false;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (inString) {
            if (c == QLatin1Char('\\'))
                ++i;
            else if (c == QLatin1Char('"'))
                inString = false;
            continue;
        }
        if (c == QLatin1Char('"')) {
            // Quotes before the value (a "var x=" prefix) are not its strings.
            inString = depth > 0;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('{')) {
            ++depth;
        } else if (c == QLatin1Char(']') || c == QLatin1Char('}')) {
            if (depth > 0 && --depth == 0)
                return true;
        }
    }
    return false;
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
