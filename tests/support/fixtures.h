#pragma once

#include <QByteArray>
#include <QString>

// The text encoded as GBK, the way the services send Chinese.
QByteArray toGbk(const QString& text);

// A file under tests/data (env VESK_TEST_DATA), e.g. "core/sample.txt".
QString fixturePath(const QString& relative);

// The bytes of a fixture file; empty when it cannot be read.
QByteArray readFixture(const QString& relative);

// A file under ../shared/real-replies (env VESK_REAL_REPLIES).
QString realReplyPath(const QString& relative);
