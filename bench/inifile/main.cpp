// Times IniFile's load and save on files of a hundredth, a tenth and the
// whole of the largest file it reads (IniFile::kMaxFileBytes, 1 MiB: a
// larger config.ini is refused unread, so no larger file can be timed), in
// two layouts (all keys in one section; ten keys a section, so that
// sections are many too), with a comment line every ten keys and a blank
// line after every section. The largest file holds about 22,000 keys.
// Linear work grows about ten-fold per ten-fold of bytes; a search of every
// entry per key would grow a hundred-fold. A save's fixed cost (a temporary
// file that then replaces the file) dwarfs the small files' own. Exits
// non-zero only when a file did not load as written or could not be saved.
//
//   bench_inifile [--quick]     --quick: one run of each instead of best of 3

#include "core/inifile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

struct Times {
    double load = 0.0;
    double save = 0.0;
};

// Writes as many keys as fit in bytes (0: all in one section); returns how many.
int writeFile(const std::string& path, std::size_t bytes, int keysPerSection) {
    std::string text;
    std::string next;
    int keys = 0;
    for (;; ++keys) {
        next.clear();
        if (keysPerSection > 0 && keys % keysPerSection == 0) {
            if (keys > 0)
                next += '\n';
            next += "[Section " + std::to_string(keys / keysPerSection) + "]\n";
        } else if (keysPerSection == 0 && keys == 0) {
            next += "[Section 0]\n";
        }
        if (keys % 10 == 0)
            next += "# keys from " + std::to_string(keys) + '\n';
        next += "Key " + std::to_string(keys) + " = 2017-10-01,2017-10-02,value " +
                std::to_string(keys) + '\n';
        if (text.size() + next.size() > bytes)
            break;
        text += next;
    }
    std::ofstream(path, std::ios::trunc | std::ios::binary) << text;
    return keys;
}

// Best of `runs` runs, in seconds.
Times timeFile(const std::string& path, int keys, int keysPerSection, int runs) {
    Times best{1e30, 1e30};
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        IniFile ini(path);
        const double load = timer.nsecsElapsed() / 1e9;

        // The last key must be there, or the figures are of nothing.
        const std::string section =
            "section" + std::to_string(keysPerSection > 0 ? (keys - 1) / keysPerSection : 0);
        if (ini.getValue(section, "key" + std::to_string(keys - 1), "") !=
            "2017-10-01,2017-10-02,value") {
            std::fprintf(stderr, "the file did not load as written\n");
            std::exit(1);
        }
        timer.restart();
        const bool saved = ini.save();
        const double save = timer.nsecsElapsed() / 1e9;
        if (!saved) {
            std::fprintf(stderr, "the file could not be saved: %s\n", ini.errorString().c_str());
            std::exit(1);
        }
        best.load = std::min(best.load, load);
        best.save = std::min(best.save, save);
        // Saving rewrites the same file; the next run loads that one.
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && !std::strcmp(argv[1], "--quick");
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const std::string path = dir.filePath(QStringLiteral("config.ini")).toStdString();
    const std::size_t largest = IniFile::kMaxFileBytes;
    const std::size_t sizes[] = {largest / 100, largest / 10, largest};
    const int runs = quick ? 1 : 3;
    const struct {
        const char* label;
        int keysPerSection; // 0: all in one section
    } layouts[] = {{"one section", 0}, {"ten keys a section", 10}};

    std::printf("IniFile load and save (best of %d; growth = time of 10x bytes / time)\n", runs);
    double worst = 0.0;
    for (const auto& layout : layouts) {
        std::printf("%s\n", layout.label);
        Times previous;
        for (int i = 0; i < 3; ++i) {
            const int keys = writeFile(path, sizes[i], layout.keysPerSection);
            const Times t = timeFile(path, keys, layout.keysPerSection, runs);
            std::printf("  %7.1f KiB %6d keys  load %9.2f ms  save %9.2f ms", sizes[i] / 1024.0,
                        keys, t.load * 1e3, t.save * 1e3);
            if (i > 0) {
                const double loadGrowth = t.load / previous.load;
                const double saveGrowth = t.save / previous.save;
                worst = std::max({worst, loadGrowth, saveGrowth});
                std::printf("  growth load %5.1f  save %5.1f", loadGrowth, saveGrowth);
            }
            std::printf("\n");
            previous = t;
        }
    }
    std::printf("worst growth per ten-fold %.1f (10 is linear, 100 quadratic)\n", worst);
    return 0;
}
