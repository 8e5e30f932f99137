#include "core/providers/stocklistinterface.h"
#include "tests/fuzz/standalone/fuzzinput.h"

#include <QDir>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Every parse saves the reply as data/all.csv in the working directory;
    // keep those writes in a folder of their own. The move is made here, not
    // at start-up, because the fuzzer still reads its relative paths then.
    static QTemporaryDir scratch;
    static const bool moved = scratch.isValid() && QDir::setCurrent(scratch.path());
    if (!moved)
        return 0;
    StockListInterface client;
    for (const QString& text : fuzzTexts(data, size))
        client.parse(text, QString());
    return 0;
}
