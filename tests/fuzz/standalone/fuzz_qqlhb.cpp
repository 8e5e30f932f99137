#include "core/providers/qqlhbdatainterface.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QQLHBDataInterface client;
    for (const QString& text : fuzzTexts(data, size)) {
        client.parse(text, QString());
        client.urls({text});
    }
    return 0;
}
