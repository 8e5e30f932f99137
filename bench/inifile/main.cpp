// Times IniFile's load and save on files of 1k, 10k and 100k keys, in two
// layouts (all keys in one section; ten keys a section, so that sections
// are many too), with a comment line every ten keys and a blank line after
// every section. Linear work grows about ten-fold per ten-fold of keys;
// from 10k to 100k keys in one section the load grows somewhat more, as the
// key index outgrows the processor caches (each key costs the same number of
// look-ups); a search of every entry per key would grow a hundred-fold.

#include "core/inifile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct Times {
    double load = 0.0;
    double save = 0.0;
};

void writeFile(const std::string& path, int keys, int keysPerSection) {
    std::ofstream out(path, std::ios::trunc);
    for (int k = 0; k < keys; ++k) {
        if (k % keysPerSection == 0) {
            if (k > 0)
                out << '\n';
            out << "[Section " << k / keysPerSection << "]\n";
        }
        if (k % 10 == 0)
            out << "# keys from " << k << '\n';
        out << "Key " << k << " = 2017-10-01,2017-10-02,value " << k << '\n';
    }
}

// Best of three runs, in seconds.
Times timeFile(const std::string& path, int keys, int keysPerSection) {
    Times best{1e30, 1e30};
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        IniFile ini(path);
        const double load = timer.nsecsElapsed() / 1e9;

        // The last key must be there, or the figures are of nothing.
        const std::string section = "section" + std::to_string((keys - 1) / keysPerSection);
        if (ini.getValue(section, "key" + std::to_string(keys - 1), "") !=
            "2017-10-01,2017-10-02,value") {
            std::fprintf(stderr, "the file did not load as written\n");
            std::exit(1);
        }
        timer.restart();
        ini.save();
        const double save = timer.nsecsElapsed() / 1e9;
        best.load = std::min(best.load, load);
        best.save = std::min(best.save, save);
        // Saving rewrites the same file; the next run loads that one.
    }
    return best;
}

} // namespace

int main() {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const std::string path = dir.filePath(QStringLiteral("config.ini")).toStdString();
    const int sizes[] = {1000, 10000, 100000};
    const struct {
        const char* label;
        int keysPerSection; // 0: all in one section
    } layouts[] = {{"one section", 0}, {"ten keys a section", 10}};

    std::printf("IniFile load and save (best of 3; growth = time of 10x keys / time)\n");
    double worst = 0.0;
    for (const auto& layout : layouts) {
        std::printf("%s\n", layout.label);
        Times previous;
        for (int i = 0; i < 3; ++i) {
            const int keys = sizes[i];
            const int perSection = layout.keysPerSection > 0 ? layout.keysPerSection : keys;
            writeFile(path, keys, perSection);
            const Times t = timeFile(path, keys, perSection);
            std::printf("  %6d keys  load %9.2f ms  save %9.2f ms", keys, t.load * 1e3,
                        t.save * 1e3);
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
