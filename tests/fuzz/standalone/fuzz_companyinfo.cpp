#include "core/providers/companyinfo.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const QString& text : fuzzTexts(data, size)) {
        // No directory: the parse writes no file. Two parses into one record
        // also run the appending of rows.
        CompanyInfo info;
        info.parse(QStringLiteral("600519"), text, QString());
        info.parse(QStringLiteral("600519"), text, QString());
    }
    return 0;
}
