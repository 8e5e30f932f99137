#include "tests/support/hostileinputs.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <limits>

QStringList truncations(const QString& text, int step, int from) {
    QStringList cuts;
    for (int length = from; length < text.size(); length += step)
        cuts.append(text.left(length));
    return cuts;
}

QString randomText(QRandomGenerator& random, int length, const QString& alphabet) {
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(alphabet.isEmpty()
                        ? QChar(static_cast<ushort>(random.bounded(0x10000)))
                        : alphabet.at(static_cast<int>(random.bounded(alphabet.size()))));
    return text;
}

double growthOfCost(const std::function<void(const QString&)>& read, const QString& small,
                    const QString& large) {
    constexpr qint64 kMinNs = 20 * 1000 * 1000;
    QElapsedTimer timer;
    int calls = 1;
    for (;; calls *= 2) {
        timer.start();
        for (int i = 0; i < calls; ++i)
            read(small);
        if (timer.nsecsElapsed() >= kMinNs || calls >= (1 << 20))
            break;
    }
    const auto best = [&](const QString& text) {
        qint64 fastest = std::numeric_limits<qint64>::max();
        for (int run = 0; run < 3; ++run) {
            timer.start();
            for (int i = 0; i < calls; ++i)
                read(text);
            fastest = std::min(fastest, timer.nsecsElapsed());
        }
        return double(std::max<qint64>(fastest, 1));
    };
    return best(large) / best(small);
}

void addServiceTextRows() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("tip");
    const auto row = [](const char* name, const QString& text, const QString& shown) {
        QTest::newRow(name) << text << shown << shown;
    };
    const auto same = [&](const char* name, const QString& text) { row(name, text, text); };
    same("markup", "<b>粗</b><font color=red>红</font><h1>大</h1><table><tr><td>表</td></tr>"
                   "</table><a href='http://127.0.0.1:1/'>链</a>[*]");
    same("images", "<img src='file:///dev/zero'><img src='file:///dev/stdin'>零零零零零零零零零零");
    same("entities", "&lt;b&gt;甲&amp;乙&nbsp;丙&#20013;");
    row("controls", "甲\n乙\r\n丙\t丁\u2028戊\x01己\x7f\u0085庚", "甲 乙  丙 丁 戊 己  庚");
    row("bidi controls", "ABC\u202eDEF股份\u2066G\u2069\u200e\u200f", "ABCDEF股份G");
    // Outside the BMP, two UTF-16 units each: a cut never parts the two.
    const QString long10k = QString::fromUcs4(U"\U00020000").repeated(10000);
    QTest::newRow("10,000 characters") << long10k << long10k << long10k.left(298) + "…";
}
