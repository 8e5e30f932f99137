#include "tests/support/hostileinputs.h"

#include <QRandomGenerator>
#include <QTest>

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
