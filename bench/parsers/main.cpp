// Times the reply parsers of the scan on fixture-sized replies and prints
// how their time grows with the size of the text: a 5 MB page and 5 MB
// texts of hostile shapes (without the markers, with opening markers only,
// the case in which a minimal ".*" search goes quadratic, runs of "&",
// tags and quotes that never close) against 1 MB, as a ratio to five times
// the 1 MB time, so that 1 is linear. The goal is a worst ratio near 1; it
// is printed, never judged. Exits non-zero only when a fixture does not
// parse as it should.
//
//   bench_parsers [--quick]     --quick: one run of each instead of best of 3

#include "core/providers/eastmoneylhbdatainterface.h"
#include "core/providers/eastmoneylhblistinterface.h"
#include "core/providers/minutedata.h"
#include "core/providers/providerinterfaces.h"
#include "core/providers/sinaachievementinterface.h"
#include "core/providers/stockdoctor.h"
#include "core/providers/stocknewsinterface.h"
#include "core/providers/stockqqhistoryinterface.h"
#include "core/utils.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextCodec>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

int bestOf = 3;

QString fixture(const char* name) {
    QFile file(QStringLiteral(VESK_PROVIDER_FIXTURES "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read fixture %s\n", name);
        std::exit(1);
    }
    return QString::fromUtf8(file.readAll());
}

// Best of bestOf runs of `repeats` calls, in seconds per call.
double secondsPerCall(const std::function<int()>& parse, int repeats) {
    double best = 1e30;
    for (int run = 0; run < bestOf; ++run) {
        QElapsedTimer timer;
        timer.start();
        int sink = 0;
        for (int i = 0; i < repeats; ++i)
            sink += parse();
        const double seconds = timer.nsecsElapsed() / 1e9 / repeats;
        best = std::min(best, seconds);
        if (sink < 0)
            std::puts("");
    }
    return best;
}

// The day list with its rows repeated until it holds `count` of them.
QString dayListOf(int count) {
    const QString text = fixture("daylist-2017-10-09.js");
    const int begin = text.indexOf(QLatin1String("[{")) + 1;
    const int end = text.lastIndexOf(QLatin1String("}]")) + 1;
    const QStringList rows = text.mid(begin + 1, end - begin - 2).split(QStringLiteral("},{"));
    QStringList many;
    for (int i = 0; i < count; ++i)
        many << rows.at(i % rows.size());
    return text.left(begin + 1) + many.join(QStringLiteral("},{")) + text.mid(end - 1);
}

// The list-entry page grown to about `bytes` characters with the kind of
// HTML that stands around the seat tables: more tables of rows before and
// after them, all with their closing tags.
QString pageOf(int bytes) {
    const QString page = fixture("lhb-2017-10-09-002460.html");
    const QString block = QStringLiteral(
        "<table "
        "class=\"default_tab\"><thead><tr><th>日期</th><th>营业部</th><th>金额</th></tr></thead>"
        "<tbody><tr><td>2017-09-14</td><td><a "
        "href=\"/stock/lhb,2017-09-14,002460.html\">详情</a></td>"
        "<td><span "
        "class=\"red\">1234.56</span></td></tr>\n<tr><td>2017-08-22</td><td>日振幅值达到15%的证券"
        "</td><td><span class=\"green\">-88.10</span></td></tr></tbody></table>\n");
    const int half = std::max(0, (bytes - page.size()) / 2);
    const QString filler = block.repeated(half / block.size() + 1);
    QString grown = page;
    grown.insert(grown.indexOf(QLatin1String("<div class=\"footer\">")), filler);
    grown.insert(grown.indexOf(QLatin1String("<div class=\"content-sepe\">")), filler);
    return grown;
}

QString textOf(const QString& unit, int bytes) {
    return unit.repeated(bytes / unit.size() + 1).left(bytes);
}

struct Parsers {
    EastmoneyLHBListInterface list;
    EastmoneyLHBDataInterface seats;
    StockQQHistoryInterface kLines;
    StockNewsInterface news;
};

void scaling(const char* label, const std::function<QString(int)>& make,
             const std::function<int(const QString&)>& parse, double* worst) {
    const int mb = 1024 * 1024;
    const QString one = make(mb);
    const QString five = make(5 * mb);
    const double t1 = secondsPerCall([&] { return parse(one); }, 3);
    const double t5 = secondsPerCall([&] { return parse(five); }, 1);
    const double ratio = t5 / (5.0 * t1);
    *worst = std::max(*worst, ratio);
    std::printf("  %-44s 1 MB %9.2f ms   5 MB %9.2f ms   ratio %.2f\n", label, t1 * 1e3, t5 * 1e3,
                ratio);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 1 && !std::strcmp(argv[1], "--quick"))
        bestOf = 1;
    Parsers p;

    const QString dayList = dayListOf(200);
    const QString page = fixture("lhb-2017-10-09-002460.html");
    const QString kLine = fixture("kline-sh600036-hfq.json");
    const QString news = fixture("news-sz002460.json");
    if (p.list.parse(dayList, QString()).size() != 200 ||
        p.seats.parse(page, QString()).size() != 11 ||
        p.kLines.parse(kLine, QStringLiteral("600036")).size() != 480) {
        std::fprintf(stderr, "fixtures did not parse as expected\n");
        return 1;
    }

    std::printf("time per parse\n");
    std::printf("  %-44s %9.1f us\n", "day list, 200 rows",
                secondsPerCall([&] { return p.list.parse(dayList, QString()).size(); }, 200) * 1e6);
    std::printf("  %-44s %9.1f us\n", "list-entry page, 10 seats and summary",
                secondsPerCall([&] { return p.seats.parse(page, QString()).size(); }, 2000) * 1e6);
    std::printf("  %-44s %9.1f us\n", "K-line reply, 480 bars",
                secondsPerCall(
                    [&] { return p.kLines.parse(kLine, QStringLiteral("600036")).size(); }, 500) *
                    1e6);
    std::printf("  %-44s %9.1f us\n", "news reply, 6 items",
                secondsPerCall([&] { return p.news.parse(news, QString()).size(); }, 5000) * 1e6);

    std::printf("growth with size (ratio = time of 5 MB / (5 x time of 1 MB); 1 is linear)\n");
    double worst = 0.0;
    const auto seats = [&](const QString& t) { return p.seats.parse(t, QString()).size(); };
    const auto all = [&](const QString& t) {
        return p.list.parse(t, QString()).size() + p.seats.parse(t, QString()).size() +
               p.kLines.parse(t, QStringLiteral("600036")).size() +
               p.news.parse(t, QString()).size();
    };
    scaling("list-entry page", pageOf, seats, &worst);
    const QString plain = QStringLiteral("今日沪深两市成交额合计6123亿元 the market closed higher; "
                                         "volume 2.3e9 shares (up 4.1 percent) ");
    scaling(
        "text without markers, all parsers", [&](int n) { return textOf(plain, n); }, all, &worst);
    const QString opening = QStringLiteral(
        "<td class=\"x\"><tr><tbody>span /lhb/yyb/1 =\"times\"> <span class=\"percent\" [[ [{ ");
    scaling(
        "opening markers only, all parsers", [&](int n) { return textOf(opening, n); }, all,
        &worst);
    const QString rows = QStringLiteral("{a:1,b:2},{c:3,d:\"x\"},[1,2,3,4,5,6],[7,8,9,0,1,2],");
    scaling(
        "object rows without closing \"}]\"",
        [&](int n) { return QStringLiteral("[{") + textOf(rows, n); },
        [&](const QString& t) { return parseObjectList(t).size(); }, &worst);

    // The minute-data, diagnosis and financial-results readers: whole
    // replies grown to size, and their own opening markers without ends.
    SinaAchievementInterface results;
    const auto others = [&](const QString& t) {
        return parseMinuteJson(t).points.size() + parseDoctorSummary(t).size() +
               results.parse(t, QString()).size();
    };
    const QString minute = fixture("qq-minute-sz000001.json");
    scaling(
        "minute reply with many minutes",
        [&](int n) {
            QString grown = minute;
            const int at = grown.indexOf(QLatin1String("\"0930 "));
            return grown.insert(at, textOf(QStringLiteral("\"0929 11.30 100\","), n));
        },
        others, &worst);
    const QString doctor = fixture("doctor-sh600036.html");
    scaling(
        "diagnosis page, section of nested elements",
        [&](int n) {
            QString grown = doctor;
            const QString nested =
                QStringLiteral("<div class=\"item\"><div><li title=\"t\">x</li></div></DIV>\n");
            const QLatin1String section("<div class=\"icon01\">");
            return grown.insert(grown.indexOf(section) + section.size(),
                                nested.repeated(n / nested.size() + 1));
        },
        others, &worst);
    const QString resultsPage = fixture("sina-achievement-2017-06-30-q2-p1.html");
    scaling(
        "results page with many rows",
        [&](int n) {
            const int begin = resultsPage.indexOf(QLatin1String("<tr><td style=\"width"));
            const int end = resultsPage.indexOf(QLatin1String("</tbody>"));
            const QString rows = resultsPage.mid(begin, end - begin);
            return resultsPage.left(begin) + rows.repeated(n / rows.size() + 1) +
                   resultsPage.mid(end);
        },
        others, &worst);
    scaling(
        "text without markers, these readers", [&](int n) { return textOf(plain, n); }, others,
        &worst);
    const QString otherOpenings = QStringLiteral(
        "{\"data\":{\"sz000001\":{\"data\":[\"0930 1 1\"],\"date\":\"20171009\",\"qt\":{"
        "\"sz000001\":[\"51\",\"x\",[{ <div class=\"ranks_72\"> <div class=\"text-head\"> "
        "<div class=\"icon01\"><div <li title=\" </thead><td style=\"width <td ");
    scaling(
        "opening markers only, these readers", [&](int n) { return textOf(otherOpenings, n); },
        others, &worst);

    // The shapes a hostile reply can take within its bound, each of which
    // costs quadratic time to a reader that searches from every one of its
    // characters to the end of the text: a seat name that is a run of "&",
    // "&#" or "&#x" without ";", tags and quotes that never close, runs of
    // "[{" and of escapes.
    const int nameAt = page.indexOf(QLatin1Char('>'), page.indexOf(QLatin1String("/lhb/yyb/"))) + 1;
    for (const char* unit : {"&", "&#", "&#x"}) {
        const QString label = QStringLiteral("list-entry page, a seat name of \"%1\"").arg(unit);
        scaling(
            qPrintable(label),
            [&](int n) { return QString(page).insert(nameAt, textOf(QLatin1String(unit), n)); },
            seats, &worst);
    }
    const auto every = [&](const QString& t) { return all(t) + others(t); };
    scaling(
        "tags that never close, all readers",
        [&](int n) {
            return textOf(QStringLiteral("<tr><td><span class=\"percent\" <a href=\""), n);
        },
        every, &worst);
    scaling(
        "quotes that never close, all readers",
        [&](int n) { return QStringLiteral("[{\"a\":\"") + textOf(QStringLiteral("x\"\\"), n); },
        every, &worst);
    scaling(
        "runs of \"[{\", all readers", [&](int n) { return textOf(QStringLiteral("[{"), n); },
        every, &worst);
    scaling(
        "escapes, object rows and table cells",
        [&](int n) {
            return QStringLiteral("[{\"a\":\"") + textOf(QStringLiteral("\\\\u4e2d"), n) +
                   QStringLiteral("\"}]");
        },
        [&](const QString& t) {
            QString cell = parseObjectList(t).value(0).value(QStringLiteral("a"));
            unescapeUnicode(cell);
            return cell.size();
        },
        &worst);
    scaling(
        "all matches of \"<tr>(.*)</tr>\", opening tags only",
        [&](int n) { return textOf(QStringLiteral("<tr>"), n); },
        [&](const QString& t) {
            return regexCaptureAll(t, QStringLiteral("<tr>(.*)</tr>")).size();
        },
        &worst);
    std::printf("worst ratio %.2f\n", worst);
    return 0;
}
