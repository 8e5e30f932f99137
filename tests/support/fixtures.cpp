#include "tests/support/fixtures.h"

#include <QDir>
#include <QFile>
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
    QFile file(fixturePath(relative));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString realReplyPath(const QString& relative) {
    return QDir(baseDir("VESK_REAL_REPLIES", VESK_SOURCE_REAL_REPLIES)).filePath(relative);
}
