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
// any bytes must load, a save that changes nothing must write the very
// bytes it read (a file it cannot read it leaves alone), and a value set
// must read back.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "fuzz_inifile." + std::to_string(getpid()) + ".ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string once = rewrite(path);
    if (once != std::string(reinterpret_cast<const char*>(data), size)) {
        std::fprintf(stderr, "a save changed lines it was not asked to change\n");
        std::abort();
    }
    // A value the program sets is the one read back.
    bool readable;
    {
        IniFile ini(path);
        readable = !ini.isUnreadable();
        ini.setValue("nonTradeDays", "value", "2018-01-01");
    }
    if (readable && IniFile(path).getValue("NonTradeDays", "value", "") != "2018-01-01") {
        std::fprintf(stderr, "a value set was not read back\n");
        std::abort();
    }
    std::remove(path.c_str());
    return 0;
}
