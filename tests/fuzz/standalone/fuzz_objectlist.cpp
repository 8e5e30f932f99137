#include "core/utils.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const QString& text : fuzzTexts(data, size))
        parseObjectList(text);
    return 0;
}
