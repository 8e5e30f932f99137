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

// NetEase's quotes service: a stock's daily history as CSV.
inline constexpr char kDailyHistoryCsvHost[] = "quotes.money.163.com";

// The stock-list file (every listed stock with its industry, region and
// share counts) is served from a bare address, not a host name.
inline constexpr char kStockListCsvHost[] = "218.244.146.57";

// Tencent's finance scripts: the seats of one stock's list entry.
inline constexpr char kQQLHBSeatsHost[] = "stock.finance.qq.com";

// Sina's finance pages: the day's list page, section by listing reason, and
// the financial-results tables.
inline constexpr char kSinaFinanceHost[] = "vip.stock.finance.sina.com.cn";

// iFeng's finance API: the recent daily bars of one stock by code.
inline constexpr char kIFengDailyHost[] = "api.finance.ifeng.com";

// Company summaries (profile, concepts, dividends, shareholders) are served
// by the same appstock interface as the K-lines.
inline constexpr char kCompanyInfoHost[] = "web.ifzq.gtimg.cn";

// Tencent's quote service: short real-time quote lines ("s_" prefixed codes).
inline constexpr char kQQQuoteHost[] = "qt.gtimg.cn";

// Sina's quote service: full real-time quote lines with five bids and asks.
inline constexpr char kSinaQuoteHost[] = "hq.sinajs.cn";

// Sina's market centre: the paged quote list of all A shares.
inline constexpr char kSinaMarketCenterHost[] = "vip.stock.finance.sina.com.cn";

// The intraday minute series comes from the same appstock interface as the
// K-lines.
inline constexpr char kStockQQMinuteHost[] = "web.ifzq.gtimg.cn";

// East Money's ranking service: the ranked quote list, 20 rows a page.
inline constexpr char kEastmoneyRankingHost[] = "nufm.dfcfw.com";

// Tencent's stock diagnosis pages.
inline constexpr char kQQDoctorHost[] = "stockapp.finance.qq.com";
