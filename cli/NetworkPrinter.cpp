#include "cli/NetworkPrinter.h"

#include "cli/ServerLog.h"
#include "cli/ServerOptions.h"
#include "cli/ServerSignals.h"
#include "jobs/CIntake.h"
#include "jobs/StartupSettings.h"
#include "output/ServerFileKeys.h"
#include "platform/PathMapping.h"

#include <filesystem>

bool NetworkPrinter::start(const ServerOptions& options, const StartupSettings& settings,
                           const std::string& home, NetJobBoard& board)
{
    const std::uint64_t maxJobBytes =
        static_cast<std::uint64_t>(readSetting(settings.serverFile, NetworkKeys::MaxJobMB)) * 1024 * 1024;
    const std::string folder = platform::toFileSystemPath(CIntake::automaticFolder(settings.serverFile));
    const std::string spool = home + "Spool";
    std::error_code ignored;
    std::filesystem::create_directories(spool, ignored);

    IppPrinter::Setup setup{.address = options.listenAddress,
                            .port = options.listenPort,
                            .printerName = settings.device.displayName,
                            .receiveFolder = folder,
                            .spoolFolder = spool,
                            .board = &board,
                            .maxJobBytes = maxJobBytes,
                            .pamService = readSetting(settings.serverFile, NetworkKeys::PamService),
                            .adminGroup = readSetting(settings.serverFile, NetworkKeys::AdminGroup),
                            .journalFolder = home};
    ipp_ = std::make_unique<IppPrinter>(std::move(setup), logEvent);
    if (status_)
        ipp_->addPages([page = status_.get()](_pappl_system_s* system) { page->addTo(system); });
    std::string error;
    const bool started = ipp_->start(error);
    catchServerSignals();
    if (!started) {
        logEvent("network: " + error);
        return false;
    }
    const std::string host = options.listenAddress.find(':') != std::string::npos
                                 ? "[" + options.listenAddress + "]"
                                 : options.listenAddress;
    logEvent("network printer: ipp://" + host + ":" + std::to_string(options.listenPort) +
             IppPrinter::PRINTER_PATH);
    if (options.rawPort != 0) {
        const RawListener::Limits limits{
            .maxJobBytes = maxJobBytes,
            .silenceMs = readSetting(settings.serverFile, NetworkKeys::IdleSeconds) * 1000};
        raw_ = std::make_unique<RawListener>(folder, logEvent, limits, &board);
        const std::string rawAddress = options.listenAddress == "*" ? "" : options.listenAddress;
        if (!raw_->start(rawAddress, options.rawPort, error)) {
            logEvent("network: " + error);
            return false;
        }
        logEvent("network printer: raw socket " + host + ":" + std::to_string(options.rawPort));
    }
    if (!isLoopbackAddress(options.listenAddress))
        logEvent("warning: listening on " + options.listenAddress +
                 " without TLS: anyone who can reach it may send jobs, and they travel unencrypted");
    return true;
}
