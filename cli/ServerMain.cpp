// marquill-server: the automatic queue without a window, for a plotter on a box without a screen.

#include "cli/CPlotServer.h"
#include "cli/ServerLog.h"
#include "cli/ServerOptions.h"
#include "cli/ServerSignals.h"
#include "jobs/StartupSettings.h"
#include "platform/HomeFolderLock.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsHome.h"
#include "platform/Version.h"

#include <cstdio>
#include <memory>

namespace {

constexpr int EXIT_BAD_COMMAND_LINE = 2;
constexpr int EXIT_HOME_IN_USE = 3;

} // namespace

int main(int argc, char** argv)
{
    ServerOptions options;
    std::string error;
    if (!parseServerOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "marquill-server: %s (marquill-server --help says more)\n", error.c_str());
        return EXIT_BAD_COMMAND_LINE;
    }
    if (options.help) {
        std::fputs(SERVER_USAGE, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("marquill-server %s\n", MARQUILL_VERSION);
        return 0;
    }
    const std::string home =
        platform::openSettingsHome(options.home, platform::HomeFallback::ServiceState, error);
    if (home.empty()) {
        std::fprintf(stderr, "marquill-server: %s\n", error.c_str());
        return EXIT_HOME_IN_USE;
    }

    // Taken before the settings are read: the holder may be writing them.
    platform::HomeFolderLock lock;
    if (!lock.take(home)) {
        std::fprintf(stderr, "marquill-server: %s\n", lock.refusal().c_str());
        return EXIT_HOME_IN_USE;
    }
    catchServerSignals();

    auto settings = std::make_unique<StartupSettings>();
    loadStartupSettings(home, *settings, platform::programFolder());
    // Without a device nothing would be sent, yet every job would finish.
    if (settings->device.sectionName[0] == '\0') {
        std::fprintf(stderr, "marquill-server: %s selects no device of its [CutterDevices]\n",
                     settings->deviceFile.path());
        return EXIT_BAD_COMMAND_LINE;
    }
    saveChosenLanguage(*settings);

    const std::string outputFolder = options.outputFolder.empty() ? home + "Output" : options.outputFolder;
    CPlotServer server(*settings, options.port, outputFolder);
    return options.once ? server.serveOnce() : server.serve();
}
