#include "core/providers/quoteranking.h"
#include "core/providers/stockdoctor.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const QString& text : fuzzTexts(data, size)) {
        parseRanking(text);
        parseDoctorSummary(text);
        QString span;
        parseDoctorPage(text, QString(), span);
        parseDoctorPage(text, QStringLiteral("<div class=\"icon01\">(.*)</div>"), span);
    }
    return 0;
}
