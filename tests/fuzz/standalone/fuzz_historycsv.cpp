#include "core/providers/stockhistorycsvinterface.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // No directory: the parse writes no file.
    StockHistoryCsvInterface client;
    for (const QString& text : fuzzTexts(data, size)) {
        client.parse(text);
        client.urls({text});
    }
    return 0;
}
