#include "core/providers/stockqqhistoryinterface.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // No save path: the parse writes no file.
    StockQQHistoryInterface client;
    for (const QString& text : fuzzTexts(data, size))
        client.parse(text, QStringLiteral("600036"));
    return 0;
}
