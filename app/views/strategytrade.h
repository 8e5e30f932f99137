#pragma once

#include <QString>

// One simulated trade of a stock, reached through Stock::strategyTrade.
struct StrategyTrade {
    QString buyDate;
    float buyPrice = 0.0f;
    QString sellDate;
    float sellPrice = 0.0f;
    int holdDays = 0;
    float gainPercent = 0.0f;
    QString strategy;
};
