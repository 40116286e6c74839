// marquill-plot: plots files through the automatic queue and the output run, without a window.

#include "cli/ConsoleView.h"
#include "cli/Estimate.h"
#include "cli/History.h"
#include "cli/Interrupt.h"
#include "cli/Options.h"
#include "cli/ProgramStart.h"
#include "jobs/CAutoJobList.h"
#include "jobs/CCommandTable.h"
#include "jobs/CIntake.h"
#include "jobs/CManualJobList.h"
#include "jobs/CPlotRun.h"
#include "jobs/JobCommandIds.h"
#include "jobs/JobTexts.h"
#include "jobs/StartupSettings.h"
#include "platform/Hooks.h"
#include "ports/DeviceProbe.h"
#include "res/strings/StringTable.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

constexpr int EXIT_ALL_FINISHED = 0;
constexpr int EXIT_JOB_NOT_FINISHED = 1;

int printMessage(const std::string& text, const std::string&, unsigned)
{
    std::fprintf(stderr, "marquill-plot: %s\n", text.c_str());
    return platform::IDOK;
}

// Messages go to standard error; the message step turns a Ctrl-C, SIGTERM or SIGHUP into the stop
// command. The File port's question for a file name is left unanswered: there is no one to ask. Without
// a run only the messages are installed, for the settings files read at start-up.
void installConsoleHooks(CPlotRun* run)
{
    platform::Hooks hooks;
    hooks.messageBox = printMessage;
    if (run != nullptr) {
        // One stop per run: the stopped copy still sends its closing commands after it.
        hooks.messageStep = [run, stopped = false]() mutable {
            if (interruptRequested() && !stopped) {
                stopped = true;
                run->stop();
            }
        };
    }
    platform::installHooks(hooks);
}

// Adds every file as a waiting job with the options of the command line. False, with a message, for a
// file that cannot be read or whose path is too long for a job.
bool addJobs(CAutoJobList& list, const PlotOptions& options, const ServerSettings& server)
{
    for (const std::string& file : options.files) {
        std::error_code error;
        const std::string path = std::filesystem::absolute(file, error).lexically_normal().string();
        if (error || ::access(path.c_str(), R_OK) != 0) {
            std::fprintf(stderr, "marquill-plot: cannot read %s\n", printableName(file).c_str());
            return false;
        }
        // A FIFO or a device would keep the import filter reading for ever.
        if (!std::filesystem::is_regular_file(path, error)) {
            std::fprintf(stderr, "marquill-plot: %s is not a regular file\n", printableName(file).c_str());
            return false;
        }
        std::unique_ptr<CPlotJob> job = CPlotJob::create(path, CPlotJob::STATE_WAITING, server);
        if (!job) {
            std::fprintf(stderr, "marquill-plot: the path of %s is too long\n", printableName(file).c_str());
            return false;
        }
        job->copies = options.copies;
        if (options.rotate)
            job->options |= CPlotJob::OPTION_ROTATE;
        if (options.mirror)
            job->options |= CPlotJob::OPTION_MIRROR;
        list.addJob(path, std::move(job));
    }
    return true;
}

// Shows the state of every job that did not finish; true when all did.
bool reportUnfinished(const CAutoJobList& list)
{
    bool allFinished = true;
    for (int row = 0; row < list.rowCount(); ++row) {
        const CPlotJob* job = list.jobAt(row);
        if (job == nullptr || job->state == CPlotJob::STATE_FINISHED)
            continue;
        allFinished = false;
        std::fprintf(stderr, "marquill-plot: %s: %s\n", printableName(job->path).c_str(),
                     printableName(stateText(*job)).c_str());
    }
    return allFinished;
}

// The device check of --probe, said on standard output.
int probe(CPlotPort& port, const std::string& name)
{
    port.SelectPort(name.c_str());
    const DeviceProbe found = probeDevice(port);
    for (const std::string& line : describeProbe(found))
        std::printf("%s\n", printableName(line).c_str());
    const bool answered = found.opened && (found.bufferSize >= 0 || !found.identity.empty());
    return answered ? EXIT_ALL_FINISHED : EXIT_JOB_NOT_FINISHED;
}

} // namespace

int main(int argc, char** argv)
{
    PlotOptions options;
    ProgramStart start("marquill-plot", PLOT_USAGE, platform::HomeFallback::UserData);
    if (!start.begin(argc, argv, options, parseOptions))
        return start.exitStatus();
    if (options.history)
        return printHistory(start.home(), options.since, options.csv, stdout);

    // Settings files that cannot be used are reported while they are read.
    installConsoleHooks(nullptr);
    // Here the job results are messages to the user, in the language of the settings.
    strings::useLocalResultStrings(true);
    const std::unique_ptr<StartupSettings> settings = start.loadSettings();
    if (options.probe)
        return probe(*settings->device.port, options.port);
    if (!options.device.empty() && !selectDeviceForRun(*settings, options.device)) {
        start.refuse("no device named " + options.device + " in " + settings->deviceFile.path());
        return start.exitStatus();
    }
    if (!start.hasDevice(*settings, "; name one with --device"))
        return start.exitStatus();

    CAutoJobList list(settings->server);
    ConsoleView view(list, stderr);
    list.setView(&view);
    CPlotRun run(list, settings->server, settings->cutInfo, settings->device);
    run.setPortOverride(options.port);
    run.setMarkPlotted(options.markPlotted);
    run.setServerFile(&settings->serverFile);
    CManualJobList manual(settings->server);
    CIntake intake(list, manual, settings->serverFile);
    const CCommandTable commands = automaticListCommands(list, run, intake, settings->device);
    installConsoleHooks(&run);
    if (!addJobs(list, options, settings->server))
        return EXIT_BAD_COMMAND_LINE;
    if (options.estimate)
        return printEstimates(list, *settings, options, stdout);
    saveChosenLanguage(*settings);

    catchInterrupt();
    commands.execute(ID_PLOT_AUTOMATIC);
    while (const int command = view.takePostedCommand())
        commands.execute(command);

    const bool allFinished = reportUnfinished(list);
    if (interruptRequested()) {
        std::fprintf(stderr, "marquill-plot: stopped\n");
        return interruptExitStatus();
    }
    return allFinished ? EXIT_ALL_FINISHED : EXIT_JOB_NOT_FINISHED;
}
