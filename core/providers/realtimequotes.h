#pragma once

#include "core/stock.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Real-time quote requests of the Tencent and Sina quote services, built in
// batches of codes, and the parsers of their quote lines.

// The codes in batches of batchSize, in list order; a last, shorter batch
// holds the remaining codes from the end of the list backwards.
QVector<QStringList> batchCodes(const QStringList& codes, int batchSize);

// Tencent short quotes, 64 codes a request.
QStringList qqRealtimeUrls(const QStringList& codes);
QString qqRealtimeUrl(const QStringList& codes);
// One record per "~"-separated line of ten fields, up to the first line of
// any other shape.
QVector<Stock> parseQqRealtime(const QString& text);

// Sina full quotes, 21 codes a request.
QStringList sinaRealtimeUrls(const QStringList& codes);
QString sinaRealtimeUrl(const QStringList& codes);
// Only the stocks whose bid volume is more than six times their ask volume.
QVector<Stock> parseSinaRealtime(const QString& text);
Stock parseSinaQuoteLine(const QString& line);
