#include "core/providers/newkline.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // No directory: the parse writes no file.
    for (const QString& text : fuzzTexts(data, size))
        parseNewKLine(text, QString());
    return 0;
}
