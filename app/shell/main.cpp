#include "app/shell/crashhandler.h"
#include "app/shell/startup.h"
#include "core/stockapplication.h"

// Constructed before main runs, so that a crash anywhere leaves a report.
static CrashHandler g_crashHandler;

int main(int argc, char** argv) {
    // Before config.ini is read: a SIGTERM during start-up then ends the
    // program normally instead of killing it.
    catchTerminationSignals();
    seedRandomGenerators();
    StockApplication app(argc, argv);
    // Destroying the application writes config.ini and the first-run marker.
    return runApplication(app);
}
