#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

// Every non-overlapping match of the case-insensitive, minimal pattern
// open(.*)close, where open and close are literal texts, each match taken
// whole and in order. This is what regexCaptureAll gives for such a pattern,
// but found with plain substring searches: QRegExp's minimal ".*" retries the
// rest of the text from every opening marker that has no closing one, which
// makes a large page without closing tags take minutes. At most maxCount
// matches are collected (all when maxCount is negative).
QStringList captureBetween(const QString& text, QLatin1String open, QLatin1String close,
                           int maxCount = -1);

// The first maxCount matches (all when negative) of the case-insensitive,
// minimal pattern, each whole and in order: what regexCaptureAll gives, cut
// to maxCount. A pattern made of two literal markers around one "(.*)"
// (punctuation in them may be escaped), as the reply readers use, is found
// with captureBetween; any other goes to the regular expression.
QStringList captureMatches(const QString& text, const QString& pattern, int maxCount = -1);

// The text of a tag match: after its first ">", up to the next "<".
QString cutTagText(const QString& match);

// A share cell: after the first ">", up to and including the first "%";
// empty when there is no "%" (the pages write "-" for none).
QString cutShareText(const QString& match);
