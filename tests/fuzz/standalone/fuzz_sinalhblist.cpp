#include "core/providers/sinalhbstocklistinterface.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SinaLHBStockListInterface client;
    for (const QString& text : fuzzTexts(data, size)) {
        client.parse(text, QString());
        // The row reader on its own, on any text.
        client.parseRow(text);
        client.urls({text});
    }
    return 0;
}
