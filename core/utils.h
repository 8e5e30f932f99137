#pragma once

#include <QLineF>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

class CancelFlag;

// Pauses the calling thread for ms milliseconds of monotonic time while its
// events keep being delivered; no busy waiting.
void delayMs(int ms);
// The same pause, cut short when cancel is raised: returns false then, true
// when the whole pause has passed.
bool delayMs(int ms, const CancelFlag* cancel);

// Whole-file text I/O with the locale's codec, so a write and a read
// round-trip any text the codec can hold.
QString readTextFile(const QString& path);
void writeTextFile(const QString& path, const QString& text);

// Parses the services' "[{k:v,...},...]" row-object texts; one map per row.
QVector<QMap<QString, QString>> parseObjectList(const QString& text);

// Whether the text's first JSON array or object ('[' or '{', outside any
// string) is closed again: a reply cut off in transfer never is. Brackets
// inside double-quoted strings (with their backslash escapes) do not count.
bool isWholeJsonReply(const QString& text);

QStringList splitLines(const QString& text);

// The whole text of the first case-insensitive minimal match, or "".
QString regexFirstCapture(const QString& text, const QString& pattern);

// Signed distance of (x, y) from the line; positive above it.
float pointLineDistance(const QLineF& line, float x, float y);

class FileVisitor {
public:
    virtual ~FileVisitor() = default;
    virtual void visit(const QString& path, int index, int count) = 0;
};

// Calls the visitor for every plain file of a directory (not recursive).
void forEachFile(const QString& dirPath, FileVisitor* visitor);
