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
// A reply whose row array is JSON is read as JSON (readJsonObjectList);
// any other (JavaScript with bare keys) by hand: rows and fields split only
// outside double-quoted values, so a value keeps its commas, colons and
// brackets, and the string escapes in those values (\uXXXX, surrogate pairs
// too, \", \\, \/, \n, \t, \r, \b, \f) decoded as JSON decodes them.
QVector<QMap<QString, QString>> parseObjectList(const QString& text);

// The text of a string value of a JSON or JavaScript reply as it was meant:
// its escapes (\uXXXX, surrogate pairs too, \", \\, \/, \n, \t, \r, \b,
// \f) decoded; a backslash that starts none stays.
QString decodeStringEscapes(const QString& text);

// The rows of the array of objects that is the first array in the text
// whose first element is an object ("[{", blanks allowed), read as JSON with
// QJsonDocument: one map per object in reply order, each member's value as
// text (a string decoded, a number in its shortest form, true, false, null;
// an array or object as compact JSON). False when that array is not JSON
// (JavaScript with bare keys, a cut-off reply) or there is none.
bool readJsonObjectList(const QString& text, QVector<QMap<QString, QString>>* rows);

// The rows of the array of arrays that opens at `open` (the "[[" found by
// the caller), each inner array's elements as texts. Read as JSON when it is
// JSON, as in readJsonObjectList() (elements that are no array left out);
// else cut by hand from after the "[[" up to `close` (to the text's end when
// close stands before that) at "],[" and ",", quotes removed.
QVector<QStringList> arrayOfArraysRows(const QString& text, int open, int close);

// The first place from which marker stands in the text outside any
// double-quoted string (a backslash escapes the next character in one); -1
// when it does not.
int indexOfUnquoted(const QString& text, QLatin1String marker, int from = 0);

// The index just past the double-quoted string that opens at `quote` (a
// backslash escapes the next character in it); text.size() when it never
// closes.
int endOfQuoted(const QString& text, int quote);

// Whether a reply has the shape the JSON services answer with: one object or
// array, after an optional "var name=" or "name=", that starts the text and
// is closed again (its brackets paired outside double-quoted strings), with
// nothing after it but blanks and one ";". A portal page, a text that holds
// JSON somewhere inside and a reply cut off in transfer are none.
bool isServiceReply(const QString& text);

// isServiceReply() told apart for the user: a reply that began as the
// service's value and stopped before it closed was cut off; any other that
// is not whole is some other page.
enum class ServiceReplyShape { Whole, CutOff, Foreign };
ServiceReplyShape serviceReplyShape(const QString& text);

// Whether a text is a real calendar day written "yyyy-MM-dd", as the
// services write days; such a text is safe to put into a request.
bool isDayText(const QString& text);

// A figure of a service's reply read as the number it holds: blanks around
// it and thousands separators ("5,555.00") are allowed. NaN, which the views
// show as "-", for a text that is no finite number ("", "--", "N/A", "null"):
// an unreadable figure never passes for 0.
double readFigure(const QString& text);
// readFigure() in single precision; beyond the float range an infinity, as
// QString::toFloat gives.
float readFloatFigure(const QString& text);

// A figure as the views show it (QString::number with the format and
// precision given), never in exponent form: 'g' writes 1234568 for
// 1.23457e+06 and 0.0000123 for 1.23e-05. "-" for a value that is not
// finite, which no service means.
QString figureText(double value, char format = 'g', int precision = 6);

// A figure to at most `decimals` decimals, without trailing zeros
// (3000.50 -> "3000.5"; "-0" reads "0").
QString fixedFigureText(double value, int decimals);

// An amount in 万元 as the views show it: below 1亿 as figureText() with
// "万" ("2508.33万", "-万" when not finite), from 1亿 on in 亿 with two
// decimals ("123.46亿").
QString wanAmountText(double wan);

QStringList splitLines(const QString& text);

// A service's text as a one-line place on the screen shows it: line breaks,
// tabs and the other control characters become a blank, and the
// bidirectional controls, which would reorder the characters around them,
// are dropped. With maxChars >= 1 a longer text is cut to maxChars
// characters, the last of them "…". A text with nothing to change comes
// back as it is.
QString oneLineText(const QString& text, int maxChars = -1);

// The whole text of the first case-insensitive minimal match, or "":
// captureMatches() (core/providers/markersearch.h) cut to one.
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
