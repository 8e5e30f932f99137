#include "app/views/tableexport.h"

#include <QFile>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

class TestTableExport final : public QObject {
    Q_OBJECT
private slots:
    void tableCsv_data();
    void tableCsv();
    void listItems();
    void unopenableFile();

private:
    static QByteArray fileBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir m_dir;
};

void TestTableExport::tableCsv_data() {
    QTest::addColumn<QByteArray>("codec");
    QTest::newRow("utf8") << QByteArray("UTF-8");
    QTest::newRow("gbk") << QByteArray("GBK");
}

void TestTableExport::tableCsv() {
    QFETCH(QByteArray, codec);
    QTextCodec* saved = QTextCodec::codecForLocale();
    QTextCodec* locale = QTextCodec::codecForName(codec);
    QTextCodec::setCodecForLocale(locale);

    QTableWidget table(2, 3);
    table.setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("代码")));
    table.setHorizontalHeaderItem(1, new QTableWidgetItem(QStringLiteral("名称")));
    // Column 2 has no header item and contributes no header field.
    table.setItem(0, 0, new QTableWidgetItem(QStringLiteral("600000")));
    table.setItem(0, 1, new QTableWidgetItem(QStringLiteral("浦发,银行")));
    table.setItem(0, 2, new QTableWidgetItem(QStringLiteral("x")));
    table.setItem(1, 0, new QTableWidgetItem(QStringLiteral("000001")));
    table.setItem(1, 2, new QTableWidgetItem(QStringLiteral("y")));

    const QString path = m_dir.filePath(QStringLiteral("table.csv"));
    const bool ok = exportTableCsv(&table, path);
    const QByteArray bytes = fileBytes(path);
    QTextCodec::setCodecForLocale(saved);

    QVERIFY(ok);
    QCOMPARE(bytes,
             locale->fromUnicode(QStringLiteral("代码,名称,\n600000,浦发 银行,x,\n000001,y,\n")));
}

void TestTableExport::listItems() {
    QListWidget list;
    list.addItem(QStringLiteral("a"));
    list.addItem(QStringLiteral("b c"));
    const QString path = m_dir.filePath(QStringLiteral("list.txt"));
    QVERIFY(exportListItems(&list, path));
    QCOMPARE(fileBytes(path), QByteArray("a,b c,"));

    list.clear();
    QVERIFY(exportListItems(&list, path));
    QCOMPARE(fileBytes(path), QByteArray());
}

void TestTableExport::unopenableFile() {
    QTableWidget table(1, 1);
    QListWidget list;
    const QString path = m_dir.filePath(QStringLiteral("no/such/dir/out.csv"));
    QVERIFY(!exportTableCsv(&table, path));
    QVERIFY(!exportListItems(&list, path));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(TestTableExport)
#include "tst_tableexport.moc"
