#include "core/providers/stocknewsinterface.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StockNewsInterface client;
    for (const QString& text : fuzzTexts(data, size))
        client.parse(text, QString());
    return 0;
}
