#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

// Every non-overlapping match of the case-insensitive, minimal pattern
// open(.*)close, where open and close are literal texts, each match taken
// whole and in order. This is what QRegExp's minimal match gives for such a
// pattern, but found with plain substring searches: its minimal ".*" retries
// the rest of the text from every opening marker that has no closing one,
// which makes a large page without closing tags take minutes. At most maxCount
// matches are collected (all when maxCount is negative).
QStringList captureBetween(const QString& text, QLatin1String open, QLatin1String close,
                           int maxCount = -1);

// The first maxCount matches (all when negative) of the case-insensitive,
// minimal QRegExp pattern, each whole and in order. A pattern made of two
// literal markers around one "(.*)" (punctuation in them may be escaped), as
// the reply readers use, is found with captureBetween, in time linear in the
// text; any other goes to the regular expression.
QStringList captureMatches(const QString& text, const QString& pattern, int maxCount = -1);

// An HTML fragment's text as a browser shows it: tags removed (a tag left
// open at the end too), character references decoded (&amp;, &nbsp;,
// &#20013;, &#x4E2D;, ...), blank runs made one blank, trimmed.
QString htmlText(const QString& html);

// The text content of a tag match: htmlText() of what follows its first ">".
QString cutTagText(const QString& match);

// A share cell: its text content up to and including the first "%"; empty
// when there is no "%" (the pages write "-" for none).
QString cutShareText(const QString& match);
