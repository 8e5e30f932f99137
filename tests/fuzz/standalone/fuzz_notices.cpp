#include "core/providers/noticeclients.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const QString& text : fuzzTexts(data, size)) {
        parseNotices(text);
        parseSuspensionList(text);
    }
    return 0;
}
