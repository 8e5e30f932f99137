#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTest>

// The text encoded as GBK, the way the services send Chinese.
QByteArray toGbk(const QString& text);

// A file under tests/data (env VESK_TEST_DATA), e.g. "core/sample.txt".
QString fixturePath(const QString& relative);

// The bytes of a fixture file; empty when it cannot be read.
QByteArray readFixture(const QString& relative);

// The text of a fixture file; the fixtures are kept in UTF-8.
QString fixtureText(const QString& relative);

// The bytes of any file; empty when it cannot be read.
QByteArray readFileBytes(const QString& path);

// A file under ../shared/real-replies (env VESK_REAL_REPLIES).
QString realReplyPath(const QString& relative);

// The names of the files in the real-replies folder (SOURCES.md among them).
QStringList realReplyFiles();

// A captured reply as text: the captures named ".gb..." (".gbk.",
// ".gb2312.") keep the service's GBK bytes, the rest are UTF-8. Empty when
// it cannot be read.
QString realReplyText(const QString& name);

// realReplyText() of every one of realReplyFiles(), in the same order; none
// when the folder is absent.
QStringList realReplyTexts();

// Whether the real-replies folder is there: it sits beside the repository on
// the project's machines and CI, but not beside a fresh clone.
bool haveRealReplies();

// Whether the captured replies must be there: CI provides them, so there
// a wrong path must fail the tests instead of quietly turning them off.
bool realRepliesRequired();

// Why a test that needs the captured replies was skipped or failed (with
// the path).
const char* realRepliesMissingReason();

// Skips the running test (or data row) when the captured replies are
// absent; fails it instead when the environment variable CI is set.
#define SKIP_WITHOUT_REAL_REPLIES()                                                                \
    do {                                                                                           \
        if (!haveRealReplies()) {                                                                  \
            if (realRepliesRequired())                                                             \
                QFAIL(realRepliesMissingReason());                                                 \
            QSKIP(realRepliesMissingReason());                                                     \
        }                                                                                          \
    } while (false)
