#include "core/providers/eastmoneylhbdatainterface.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EastmoneyLHBDataInterface client;
    for (const QString& text : fuzzTexts(data, size)) {
        client.parse(text, QString());
        // The row and summary parsers on their own, on any text.
        client.parseRows(text, true);
        bool ok = false;
        parseSeatRow(text, ok);
        parseSeatTotalRow(text, ok);
        client.urls({text});
    }
    return 0;
}
