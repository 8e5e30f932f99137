#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

// Rows of the company summary: the values of each item's key-value pairs,
// in reply order.
struct RevenueItem {
    std::array<QString, 3> values;
};

struct DividendItem {
    std::array<QString, 6> values;
};

struct ReportItem {
    std::array<QString, 2> values;
};

struct ShareholderItem {
    std::array<QString, 10> values;
};

// A stock's company summary: profile texts, concepts, revenue breakdown,
// dividends, report summaries, shareholders and share figures. Read from the
// service's JSON reply with plain text searches.
class CompanyInfo final {
public:
    // The summary request for one code, with a new random suffix.
    static QString url(const QString& code);

    // Fills the record from a reply; true when it held the company name and
    // the concept part. Rows are appended to those already held. Saves the
    // reply as directory + code when both are set.
    bool parse(const QString& code, const QString& text, const QString& directory);

    QStringList conceptNames() const { return m_conceptNames; }

    QString gsmz;
    QString riqi;
    QString jg;
    QString fxs;
    QString dy;
    QString yw;
    QString hy;
    QVector<RevenueItem> yysr;
    QVector<DividendItem> fenhong;
    QVector<ReportItem> cwbb;
    QVector<ShareholderItem> gudong;
    // The reply carries no such list; it stays empty.
    QVector<ShareholderItem> otherShareholders;
    QString ZGB;
    QString LTGB;
    QString GDRS;
    QString RJCG;
    QString SQ_GDRS;

private:
    QStringList m_conceptNames;

    void readRevenue(const QString& text);
    bool readDividends(const QString& text);
    void readReports(const QString& text);
    void readShareholders(const QString& text);
};

// The value of the first match of pattern: the match without its last
// character, after its last double quote ("" when nothing matches).
QString captureQuotedValue(const QString& text, const QString& pattern);

// For every match of pattern, the last quoted text in it.
QStringList captureQuotedValues(const QString& text, const QString& pattern);
