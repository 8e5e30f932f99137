#pragma once

#include "core/stock.h"

#include <QString>
#include <QVector>

// The K-line service's second daily request: the last 320 daily bars of one
// stock, with a random suffix drawn anew for each URL.
QString newKLineUrl(const QString& code);

// Bars in reply order, each with its change against the bar before it; the
// first bar, which has none before it, keeps 0 for both changes. Every bar
// carries the six-digit code named in the reply. The reply is saved as
// directory + code when both are set.
QVector<Stock> parseNewKLine(const QString& text, const QString& directory);
