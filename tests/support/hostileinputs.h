#pragma once

#include <QString>
#include <QStringList>

class QRandomGenerator;

// Building blocks of the texts that parsers must survive.

// text cut off at every length from `from` up to below its size, in steps of
// `step`: text.left(from), text.left(from + step), ...
QStringList truncations(const QString& text, int step, int from = 0);

// length UTF-16 units drawn from alphabet, or from all 65536 of them when
// alphabet is empty (lone surrogates and non-characters included).
QString randomText(QRandomGenerator& random, int length, const QString& alphabet = QString());

// The data rows of a test of how the views show a text from a service:
// "text" as the service sends it, "shown" as a one-line place (a cell, the
// information line) shows it, "tip" as a tooltip, message box or window
// title reads.
void addServiceTextRows();
