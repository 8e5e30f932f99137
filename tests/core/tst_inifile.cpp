#include "core/inifile.h"

#include "tests/support/unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Loads the text, sets one value when a change "section|key|value" is
// given, and saves through close().
std::string roundTrip(const QTemporaryDir& dir, const std::string& text, const QString& change) {
    const std::string path = dir.filePath(QStringLiteral("rt.ini")).toStdString();
    writeFile(path, text);
    IniFile ini(path);
    const QStringList parts = change.split(QLatin1Char('|'));
    if (parts.size() == 3)
        ini.setValue(parts[0].toStdString(), parts[1].toStdString(), parts[2].toStdString());
    ini.close();
    return readFile(path);
}

// Sets the value to 10000 bytes and saves under a 4 KiB file-size limit (a
// stand-in for a full disk); returns the save's error, empty when it saved
// or failed without saying why.
std::string saveUnderSizeLimit(const std::string& path) {
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    std::string error;
    {
        IniFile ini(path);
        ini.setValue("s", "k", std::string(10000, 'x'));
        if (!ini.save())
            error = ini.errorString();
        ini.close();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    return error;
}

} // namespace

class TestIniFile final : public QObject {
    Q_OBJECT
private slots:
    void names_data();
    void names();
    void rewrite_data();
    void rewrite();
    void lookupIgnoresCaseAndBlanks();
    void getValueReadsOneWord_data();
    void getValueReadsOneWord();
    void setValueReplacesInPlace();
    void missingFileIsCreatedEmpty();
    void unwritablePathWritesNothing();
    void notTextNeverWritten_data();
    void notTextNeverWritten();
    void saveKeepsLinksAndFailsWhole_data();
    void saveKeepsLinksAndFailsWhole();
    void saveInFolderWithoutWritePermission();
    void savesStayAtomicBesideCleanUps();
    void closeForgetsEverything();

private:
    QTemporaryDir m_dir;
};

void TestIniFile::names_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("normalized");
    QTest::addColumn<QString>("section");
    QTest::newRow("mixed") << "Non Trade\tDays"
                           << "nontradedays"
                           << "[nontradedays]";
    QTest::newRow("empty") << ""
                           << ""
                           << "[]";
    QTest::newRow("bracketed") << "[Non Trade Days]"
                               << "[nontradedays]"
                               << "[nontradedays]";
    QTest::newRow("all blanks") << " \r\n\v\f"
                                << ""
                                << "[]";
    QTest::newRow("half bracket") << "[abc"
                                  << "[abc"
                                  << "[[abc]";
}

void TestIniFile::names() {
    QFETCH(QString, name);
    QFETCH(QString, normalized);
    QFETCH(QString, section);
    QCOMPARE(QString::fromStdString(normalizeIniName(name.toStdString())), normalized);
    QCOMPARE(QString::fromStdString(iniSectionName(name.toStdString())), section);
}

void TestIniFile::rewrite_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QByteArray>("output"); // "=" for the input unchanged

    // Every line that is not changed is written back as it was read.
    QTest::newRow("comments and blank lines stay in place")
        << QByteArray("[main]\n# first\nkey=1\n\n; second\nother=2\n") << "" << QByteArray("=");
    QTest::newRow("header as written, entry raw")
        << QByteArray("[Non Trade Days]\nValue = 2017-10-01\n") << "" << QByteArray("=");
    QTest::newRow("entries above the first header") << QByteArray("top=1\n[s]\nk=v\n") << ""
                                                    << QByteArray("=");
    QTest::newRow("header followed by header") << QByteArray("[empty]\n[s]\nk=v\n") << ""
                                               << QByteArray("=");
    QTest::newRow("lines starting with a digit or =") << QByteArray("[s]\n1=x\n=y\nk=v\n") << ""
                                                      << QByteArray("=");
    QTest::newRow("line without =") << QByteArray("[s]\nflag\n") << "" << QByteArray("=");
    QTest::newRow("last line without line end") << QByteArray("[s]\nk=v") << "" << QByteArray("=");
    QTest::newRow("blank lines with blanks, at the end too") << QByteArray("[s]\nk=v\n \t\n\n  ")
                                                             << "" << QByteArray("=");
    QTest::newRow("empty file") << QByteArray() << "" << QByteArray("=");
    // Saved by an editor with a UTF-8 byte-order mark: the first header is
    // still one, and the mark stays.
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[Non Trade Days]\nvalue=2017-10-01\n")
                                     << "nontradedays|value|2018-01-01"
                                     << QByteArray("\xEF\xBB\xBF[Non Trade Days]\nvalue=2018-01-01\n");
    // A hand-edited file: CRLF, a GBK comment, other sections; only the
    // changed line differs, and keeps its CRLF.
    QTest::newRow("changed line only, with its line end")
        << QByteArray("; \xB9\xFA\xC7\xEC\xBD\xDA\r\n[Non Trade Days]\r\nplain line\r\n"
                      "Value = 2017-10-01 ; \xB9\xFA\xC7\xEC\r\n\r\n[Other]\r\nk=v\r\n")
        << "nontradedays|value|2018-01-01"
        << QByteArray("; \xB9\xFA\xC7\xEC\xBD\xDA\r\n[Non Trade Days]\r\nplain line\r\n"
                      "Value =2018-01-01\r\n\r\n[Other]\r\nk=v\r\n");
    // The line that is read is the one written; the other stays.
    QTest::newRow("keys differing in case: the later line takes a change")
        << QByteArray("[s]\nKey=first\nkey=second\n") << "s|KEY|x"
        << QByteArray("[s]\nKey=first\nkey=x\n");
    QTest::newRow("comment after a header, either sign")
        << QByteArray("[a] ; one\nk=1\n[b]\t# two ]\nk=2\n") << "b|k|x"
        << QByteArray("[a] ; one\nk=1\n[b]\t# two ]\nk=x\n");
    QTest::newRow("CR alone and mixed line ends, each kept")
        << QByteArray("[a]\r\nk=1\r[b]\nk=2\r") << "b|n|3"
        << QByteArray("[a]\r\nk=1\r[b]\nk=2\rn=3\r\n");
    QTest::newRow("key: value where no = stands")
        << QByteArray("[s]\nurl = a=b\nk : v\n") << "s|k|x" << QByteArray("[s]\nurl = a=b\nk :x\n");
    QTest::newRow("repeated header: a new key after the section's last line")
        << QByteArray("[a]\nx=1\n[b]\ny=2\n[A]\nz=3\n") << "a|w|4"
        << QByteArray("[a]\nx=1\n[b]\ny=2\n[A]\nz=3\nw=4\n");
    QTest::newRow("a new key under a header without entries")
        << QByteArray("[nontradedays]\n[other]\nk=v\n") << "nontradedays|value|1"
        << QByteArray("[nontradedays]\nvalue=1\n[other]\nk=v\n");
    QTest::newRow("a new section after a last line without line end, in its line ends")
        << QByteArray("[s]\r\nk=v") << "Non Trade Days|value|1"
        << QByteArray("[s]\r\nk=v\r\n[nontradedays]\r\nvalue=1\r\n");
    QTest::newRow("value keeps everything after the first =")
        << QByteArray("[s]\nurl=http://a/?b=c\n") << "s|url|http://d/?e=f"
        << QByteArray("[s]\nurl=http://d/?e=f\n");
}

void TestIniFile::rewrite() {
    QFETCH(QByteArray, input);
    QFETCH(QString, change);
    QFETCH(QByteArray, output);
    const std::string written = roundTrip(m_dir, input.toStdString(), change);
    QCOMPARE(QByteArray::fromStdString(written), output == "=" ? input : output);
}

void TestIniFile::lookupIgnoresCaseAndBlanks() {
    const std::string path = m_dir.filePath(QStringLiteral("lookup.ini")).toStdString();
    writeFile(path, "[Non Trade Days]\nV alue = 2017-10-01\n");
    IniFile ini(path);
    QCOMPARE(ini.getValue("nonTradeDays", "value", "d"), std::string("2017-10-01"));
    QCOMPARE(ini.getValue("NONTRADEDAYS", "VALUE", "d"), std::string("2017-10-01"));
    QCOMPARE(ini.getValue("[nontradedays]", " va lue ", "d"), std::string("2017-10-01"));
    QCOMPARE(ini.getValue("other", "value", "d"), std::string("d"));
    QCOMPARE(ini.getValue("nonTradeDays", "missing", "d"), std::string("d"));
    QCOMPARE(ini.sections().size(), size_t(1));
    QCOMPARE(ini.sections().front().name, std::string("[nontradedays]"));
    QCOMPARE(ini.sections().front().entries.front().first, std::string("V alue "));
}

void TestIniFile::getValueReadsOneWord_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "value=a,b"
                           << "a,b";
    QTest::newRow("blank after first comma") << "value=2017-10-01, 2017-10-02"
                                             << "2017-10-01,";
    QTest::newRow("leading blanks skipped") << "value=   x y"
                                            << "x";
    QTest::newRow("empty gives default") << "value="
                                         << "default";
    QTest::newRow("only blanks give default") << "value=   \t"
                                              << "default";
    QTest::newRow("a later line of the key counts") << "value=first\r\nVALUE=second\r"
                                                    << "second";
}

void TestIniFile::getValueReadsOneWord() {
    QFETCH(QString, line);
    QFETCH(QString, expected);
    const std::string path = m_dir.filePath(QStringLiteral("word.ini")).toStdString();
    writeFile(path, "[s]\n" + line.toStdString() + "\n");
    IniFile ini(path);
    QCOMPARE(QString::fromStdString(ini.getValue("s", "value", "default")), expected);
}

void TestIniFile::setValueReplacesInPlace() {
    const std::string path = m_dir.filePath(QStringLiteral("set.ini")).toStdString();
    writeFile(path, "[s]\nFirst Key = 1\nsecond=2\n");
    {
        IniFile ini(path);
        ini.setValue("S", "firstkey", "x");
        ini.setValue("s", "third", "3");
        ini.setValue("New Section", "Key", "v");
    } // the destructor saves
    QCOMPARE(QString::fromStdString(readFile(path)),
             QStringLiteral("[s]\nFirst Key =x\nsecond=2\nthird=3\n[newsection]\nKey=v\n"));
}

void TestIniFile::missingFileIsCreatedEmpty() {
    const QString path = m_dir.filePath(QStringLiteral("missing.ini"));
    QVERIFY(!QFile::exists(path));
    IniFile ini(path.toStdString());
    QVERIFY(ini.sections().empty());
    QCOMPARE(ini.getValue("nonTradeDays", "value", "2017-10-01,2017-10-02"),
             std::string("2017-10-01,2017-10-02"));
    ini.close();
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFileInfo(path).size(), qint64(0));
}

void TestIniFile::unwritablePathWritesNothing() {
    const QString path = m_dir.filePath(QStringLiteral("no/such/dir/x.ini"));
    IniFile ini(path.toStdString());
    ini.setValue("s", "k", "v");
    ini.save();
    QVERIFY(!QFile::exists(path));
}

void TestIniFile::notTextNeverWritten_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<bool>("tooLarge");
    QByteArray binary;
    for (int i = 0; i < 25 * 1024; ++i)
        binary += char(1 + i % 255);
    const QByteArray line = "[s]\nk=v\n";
    const int fit = int(IniFile::kMaxFileBytes) / line.size();
    const QByteArray largest = line.repeated(fit) + QByteArray(int(IniFile::kMaxFileBytes) - fit * line.size(), ' ');
    QTest::newRow("binary without NUL") << binary << false << false;
    QTest::newRow("NUL byte") << QByteArray("[s]\nk=v\0\n", 9) << false << false;
    QTest::newRow("text as large as the bound") << largest << true << false;
    QTest::newRow("text larger than the bound") << largest + '\n' << false << true;
}

void TestIniFile::notTextNeverWritten() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);
    QFETCH(bool, tooLarge);
    const std::string path = m_dir.filePath(QStringLiteral("binary.ini")).toStdString();
    writeFile(path, bytes.toStdString());
    IniFile ini(path);
    QCOMPARE(ini.isUnreadable(), !readable);
    QCOMPARE(ini.isTooLarge(), tooLarge);
    QCOMPARE(ini.sections().empty(), !readable);
    ini.setValue("s", "k", "w"); // as long as "v": the largest file stays within the bound
    QCOMPARE(ini.close(), readable);
    if (!readable)
        QCOMPARE(QByteArray::fromStdString(readFile(path)), bytes);
}

void TestIniFile::saveKeepsLinksAndFailsWhole_data() {
    QTest::addColumn<bool>("symbolic");
    QTest::newRow("symbolic link") << true;
    QTest::newRow("hard link") << false;
}

void TestIniFile::saveKeepsLinksAndFailsWhole() {
    QFETCH(bool, symbolic);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    const std::string other = dir.filePath(QStringLiteral("other.ini")).toStdString();
    writeFile(other, "[s]\nk=old\n");
    QVERIFY(symbolic ? QFile::link(QString::fromStdString(other), path)
                     : ::link(other.c_str(), QFile::encodeName(path).constData()) == 0);
    {
        IniFile ini(path.toStdString());
        ini.setValue("s", "k", "new");
        QVERIFY(ini.close());
    }
    // Written through the link: both names still show one file.
    const QString saved = QStringLiteral("[s]\nk=new\n");
    QCOMPARE(QString::fromStdString(readFile(other)), saved);
    QCOMPARE(QFileInfo(path).isSymLink(), symbolic);
    struct stat st;
    QCOMPARE(::stat(other.c_str(), &st), 0);
    QCOMPARE(st.st_nlink, nlink_t(symbolic ? 1 : 2));

    // A save that stops half-way says why, keeps the saved text and leaves nothing beside it.
    QVERIFY(!saveUnderSizeLimit(path.toStdString()).empty());
    QCOMPARE(QString::fromStdString(readFile(other)), saved);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             (QStringList{QStringLiteral("config.ini"), QStringLiteral("other.ini")}));
}

void TestIniFile::saveInFolderWithoutWritePermission() {
    const QString problem = unprivilegedProblem({QDir::tempPath()});
    if (!problem.isEmpty())
        QSKIP(qPrintable(problem));
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("config.ini")).toStdString();
    writeFile(path, "[s]\nk=old\n");
    QVERIFY(handToUnprivileged(dir.path()));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const bool saved = runUnprivileged([&path] {
        IniFile ini(path);
        ini.setValue("s", "k", "new");
        return ini.close();
    });
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(saved);
    QCOMPARE(QString::fromStdString(readFile(path)), QStringLiteral("[s]\nk=new\n"));
}

void TestIniFile::savesStayAtomicBesideCleanUps() {
    // Another instance's start-up clean-up, over and over, while saves run:
    // each save still renames a new file over the old one.
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("config.ini")).toStdString();
    writeFile(path, "[s]\nk=0\n");
    std::atomic<bool> saving{true};
    std::thread cleaner([&] {
        while (saving)
            IniFile::removeLeftTemporaries(path);
    });
    int inPlace = 0;
    for (int i = 1; i <= 300; ++i) {
        struct stat before, after;
        ::stat(path.c_str(), &before);
        IniFile ini(path);
        ini.setValue("s", "k", std::to_string(i));
        if (!ini.close() || ::stat(path.c_str(), &after) != 0 || after.st_ino == before.st_ino)
            ++inPlace;
    }
    saving = false;
    cleaner.join();
    QCOMPARE(inPlace, 0);
    QCOMPARE(readFile(path), std::string("[s]\nk=300\n"));
}

void TestIniFile::closeForgetsEverything() {
    const std::string path = m_dir.filePath(QStringLiteral("close.ini")).toStdString();
    writeFile(path, "[s]\nk=v\n");
    IniFile ini(path);
    ini.close();
    QVERIFY(ini.sections().empty());
    // No path any more: a later save must not touch the file.
    ini.setValue("other", "k", "v");
    ini.save();
    QCOMPARE(QString::fromStdString(readFile(path)), QStringLiteral("[s]\nk=v\n"));

    IniFile unbound; // no path: never writes
    unbound.setValue("s", "k", "v");
    QCOMPARE(unbound.getValue("s", "k", "d"), std::string("v"));
}

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
