#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QRandomGenerator;

// Building blocks of the texts that parsers must survive.

// text cut off at every length from `from` up to below its size, in steps of
// `step`: text.left(from), text.left(from + step), ...
QStringList truncations(const QString& text, int step, int from = 0);

// length UTF-16 units drawn from alphabet, or from all 65536 of them when
// alphabet is empty (lone surrogates and non-characters included).
QString randomText(QRandomGenerator& random, int length, const QString& alphabet = QString());

// How many times as long read() takes on `large` as on `small`, a text with
// four times as much of some shape: about 4 for a reader linear in its
// input, 16 for a quadratic one. Each time is the best of three runs of as
// many calls as take some 20 ms, so that neither the clock's resolution nor
// a busy machine decides the figure.
double growthOfCost(const std::function<void(const QString&)>& read, const QString& small,
                    const QString& large);

// The data rows of a test of how the views show a text from a service:
// "text" as the service sends it, "shown" as a one-line place (a cell, the
// information line) shows it, "tip" as a tooltip, message box or window
// title reads.
void addServiceTextRows();
