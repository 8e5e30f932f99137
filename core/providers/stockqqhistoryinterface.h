#pragma once

#include "core/providers/providerinterfaces.h"

// Client of the K-line history service: up to 480 bars per code.
class StockQQHistoryInterface final : public StockInterface {
public:
    // The bars each request asks for.
    static constexpr int kBarsAsked = 480;
    // Bound on a reply: a whole 480-bar reply is about 32 KB, 40 KB with a
    // dividend note and the quote the service adds. Eight times that leaves
    // room for longer numbers and fields, and its parse stays well under the
    // time of a frame on the GUI thread.
    static constexpr qint64 kMaxReplyBytes = 256 * 1024;

    QStringList urls(const QStringList& codes) override;
    QVector<Stock> parse(const QString& text, const QString& code) override;
    // 0: save path prefix, 1: adjustment (bfq/qfq/hfq), 2: period (day/week/month).
    void setParam(int index, const QString& value) override;

    QString savePath() const { return m_savePath; }
    QString adjust() const { return m_adjust; }
    QString period() const { return m_period; }

private:
    QString m_savePath;
    QString m_adjust = QStringLiteral("hfq");
    QString m_period = QStringLiteral("day");
};
