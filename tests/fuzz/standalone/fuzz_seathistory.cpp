#include "app/views/seathistoryreply.h"
#include "core/providers/providerinterfaces.h"
#include "tests/fuzz/standalone/fuzzinput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const QString& text : fuzzTexts(data, size)) {
        // Each cell decoded as the data table shows it.
        for (const auto& row : parseJsonArrayText(text)) {
            for (QString cell : row)
                unescapeUnicode(cell);
        }
        // A seat code goes into a request URL: letters and digits only.
        const QString code = seatCodeFromLink(text);
        for (const QChar c : code) {
            if (c.unicode() >= 0x80 || !c.isLetterOrNumber())
                std::abort();
        }
    }
    return 0;
}
