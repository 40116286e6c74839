// marquill-server: the automatic queue without a window, for a plotter on a box without a screen.

#include "cli/CPlotServer.h"
#include "cli/NetworkPrinter.h"
#include "cli/ProgramStart.h"
#include "cli/ServerOptions.h"
#include "cli/ServerSignals.h"
#include "jobs/StartupSettings.h"

#include <memory>

int main(int argc, char** argv)
{
    ServerOptions options;
    ProgramStart start("marquill-server", SERVER_USAGE, platform::HomeFallback::ServiceState);
    if (!start.begin(argc, argv, options, parseServerOptions))
        return start.exitStatus();
    catchServerSignals();

    const std::unique_ptr<StartupSettings> settings = start.loadSettings();
    if (!start.hasDevice(*settings))
        return start.exitStatus();
    saveChosenLanguage(*settings);

    const std::string outputFolder =
        options.outputFolder.empty() ? start.home() + "Output" : options.outputFolder;
    SharedQueueSnapshot queue;
    CPlotServer server(*settings, options.port, outputFolder);
    NetJobBoard board;
    NetworkPrinter network;
    if (!options.listenAddress.empty()) {
        server.publishTo(&queue);
        network.showQueue(queue, start.home());
        if (!network.start(options, *settings, start.home(), board))
            return network.stoppedAsItStarted() ? 0 : 2;
        server.setNetJobBoard(&board);
    }
    return options.once ? server.serveOnce() : server.serve();
}
