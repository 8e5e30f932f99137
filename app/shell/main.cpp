#include "app/shell/crashhandler.h"
#include "app/shell/startup.h"
#include "core/stockapplication.h"

#include <QString>

#include <cstdio>

// Constructed before main runs, so that a crash anywhere leaves a report.
static CrashHandler g_crashHandler;

int main(int argc, char** argv) {
    // Without a display that answers (none named, a stale DISPLAY, a dead
    // ssh tunnel) Qt aborts in its platform plugin, which would read as a
    // crash and leave a report, or waits for ever: say what is missing and
    // end instead.
    if (!findDisplay(argc, argv)) {
        const QString program = QString::fromLocal8Bit(argc > 0 ? argv[0] : "vesk");
        std::fprintf(stderr, "%s\n", noDisplayMessage(program).toUtf8().constData());
        return kNoDisplayExitCode;
    }
    // Before config.ini is read: a SIGTERM during start-up then ends the
    // program normally instead of killing it.
    catchTerminationSignals();
    seedRandomGenerators();
    StockApplication app(argc, argv);
    // Destroying the application writes config.ini and the first-run marker.
    return runApplication(app);
}
