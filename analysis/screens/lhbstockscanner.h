#pragma once

#include <QPair>
#include <QString>

// A screen over the list seats of one stock on the scanned day D and the two
// trading days before it. The seats are read from the application's cache.
class LHBStockScanner {
public:
    virtual ~LHBStockScanner() = default;
    // Kept for callers of the generic interface; the screens answer through
    // their own matches().
    virtual bool isMatch(const QString& code, const QString& name, const QString& day,
                         const QString& day1, const QString& day2);
};

// The recommendation of a screen: the stock code and the message text.
using LHBScanResult = QPair<QString, QString>;

// At least five buying seats with a success rate of 60% or more (or
// institutional seats) and a net buy of at least 1000 (10k CNY) together.
class LHBStockScanner_5Over60Percent final : public LHBStockScanner {
public:
    bool matches(const QString& code, const QString& name, const QString& day, const QString& day1,
                 const QString& day2, LHBScanResult& result);
};

// A seat bought on D-2, sold on D-1 and bought again on D.
class LHBStockScanner_GeRiZuoT final : public LHBStockScanner {
public:
    bool matches(const QString& code, const QString& name, const QString& day, const QString& day1,
                 const QString& day2, LHBScanResult& result);
};

// A seat bought on D-1 and again on D.
class LHBStockScanner_ZhuLiJiaCang final : public LHBStockScanner {
public:
    bool matches(const QString& code, const QString& name, const QString& day, const QString& day1,
                 const QString& day2, LHBScanResult& result);
};

// At least two buying seats with a success rate of 66% or more, with a
// summed buy minus sell of at least 800.
class LHBStockScanner_5Over66Percent final : public LHBStockScanner {
public:
    bool matches(const QString& code, const QString& name, const QString& day, const QString& day1,
                 const QString& day2, LHBScanResult& result);
};

// Runs the four screens in order; the first that matches writes the result
// and ends the run. Returns false, leaving result untouched, when none does.
bool runLHBScanners(const QString& code, const QString& name, const QString& day,
                    const QString& day1, const QString& day2, LHBScanResult& result);
