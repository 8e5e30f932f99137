#include "core/providers/stockifenginterface.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // No directory: the parse writes no file.
    StockiFengInterface client;
    for (const QString& text : fuzzTexts(data, size))
        client.parse(text, QStringLiteral("600519"));
    return 0;
}
