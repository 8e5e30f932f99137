#include "core/providers/eastmoneylhblistinterface.h"
#include "core/utils.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const QString& text : fuzzTexts(data, size)) {
        isServiceReply(text);
        indexOfUnquoted(text, QLatin1String("}]"));
        EastmoneyLHBListInterface::pageCount(text);
    }
    return 0;
}
