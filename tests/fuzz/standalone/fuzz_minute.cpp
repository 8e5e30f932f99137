#include "core/providers/minutedata.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const QString& text : fuzzTexts(data, size)) {
        parseMinuteJson(text);
        parseMinuteLines(text);
    }
    return 0;
}
