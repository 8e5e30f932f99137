#include "core/providers/sinaachievementinterface.h"
#include "tests/fuzz/standalone/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SinaAchievementInterface client;
    for (const QString& text : fuzzTexts(data, size)) {
        client.parse(text, QString());
        client.urls({text, text});
    }
    return 0;
}
