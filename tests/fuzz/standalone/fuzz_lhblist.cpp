#include "core/providers/eastmoneylhblistinterface.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EastmoneyLHBListInterface client;
    for (const QString& text : fuzzTexts(data, size)) {
        client.parse(text, QString());
        EastmoneyLHBListInterface::isListReply(text);
        EastmoneyLHBListInterface::pageCount(text);
        client.urls({text});
    }
    return 0;
}
