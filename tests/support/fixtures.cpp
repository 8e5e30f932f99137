#include "tests/support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

namespace {

QString baseDir(const char* envName, const char* fallback) {
    const QString fromEnv = qEnvironmentVariable(envName);
    return fromEnv.isEmpty() ? QString::fromUtf8(fallback) : fromEnv;
}

} // namespace

QByteArray toGbk(const QString& text) {
    QTextCodec* gbk = QTextCodec::codecForName("GBK");
    Q_ASSERT(gbk);
    return gbk->fromUnicode(text);
}

QString fixturePath(const QString& relative) {
    return QDir(baseDir("VESK_TEST_DATA", VESK_SOURCE_TEST_DATA)).filePath(relative);
}

QByteArray readFixture(const QString& relative) {
    return readFileBytes(fixturePath(relative));
}

QString fixtureText(const QString& relative) {
    return QString::fromUtf8(readFixture(relative));
}

QByteArray readFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString realReplyPath(const QString& relative) {
    return QDir(baseDir("VESK_REAL_REPLIES", VESK_SOURCE_REAL_REPLIES)).filePath(relative);
}

QStringList realReplyFiles() {
    return QDir(realReplyPath(QString())).entryList(QDir::Files);
}

QString realReplyText(const QString& name) {
    QTextCodec* codec =
        QTextCodec::codecForName(name.contains(QLatin1String(".gb")) ? "GBK" : "UTF-8");
    return codec->toUnicode(readFileBytes(realReplyPath(name)));
}

QStringList realReplyTexts() {
    QStringList texts;
    for (const QString& file : realReplyFiles())
        texts.append(realReplyText(file));
    return texts;
}

bool haveRealReplies() {
    return QFileInfo(realReplyPath(QString())).isDir();
}

bool realRepliesRequired() {
    return !qEnvironmentVariableIsEmpty("CI");
}

const char* realRepliesMissingReason() {
    static const QByteArray reason =
        "the captured real replies are not at " +
        QFileInfo(realReplyPath(QString())).absoluteFilePath().toUtf8() +
        (realRepliesRequired()
             ? QByteArray(
                   " (CI is set, so they must be there: check the path or VESK_REAL_REPLIES)")
             : QByteArray(" (they sit beside the repository only on the project's own machines)"));
    return reason.constData();
}
