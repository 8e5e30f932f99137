#include "core/inifile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Loads the file and writes it back through close(); returns what it wrote.
std::string rewrite(const std::string& path) {
    IniFile ini(path);
    ini.getValue("nonTradeDays", "value", "2017-10-01,2017-10-02");
    ini.close();
    return readAll(path);
}

} // namespace

// The settings file is text the user or another program may have written:
// any bytes must load, and what a save writes must load and save to the
// same bytes again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "fuzz_inifile." + std::to_string(getpid()) + ".ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string once = rewrite(path);
    const std::string twice = rewrite(path);
    if (once != twice) {
        std::fprintf(stderr, "a saved file did not reload to the same file\n");
        std::abort();
    }
    std::remove(path.c_str());
    return 0;
}
