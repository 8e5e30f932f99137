#pragma once

// Host names of the public data services that the provider clients ask.
// Every client builds its URLs from these, so a moved service is changed
// here only. All of them are reached over plain http.

// East Money's data centre: the day's dragon-tiger list and the list-entry
// (seat) pages of each stock.
inline constexpr char kEastmoneyDataHost[] = "data.eastmoney.com";

// Tencent's "appstock" interface: K-line histories.
inline constexpr char kStockQQHost[] = "web.ifzq.gtimg.cn";

// The news search is part of the same appstock interface as the K-lines.
inline constexpr char kStockNewsHost[] = "web.ifzq.gtimg.cn";
