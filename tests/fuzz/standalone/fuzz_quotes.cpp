#include "core/providers/realtimequotes.h"
#include "core/providers/sinarealtimeinterface.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SinaRealtimeInterface node;
    for (const QString& text : fuzzTexts(data, size)) {
        parseQqRealtime(text);
        parseSinaRealtime(text);
        parseSinaQuoteLine(text);
        node.parse(text, QString());
    }
    return 0;
}
