#include "cli/CPlotServer.h"

#include "cli/OutputFolderPort.h"
#include "cli/ServerLog.h"
#include "cli/ServerSignals.h"
#include "cli/SettingsReload.h"
#include "jobs/JobCommandIds.h"
#include "jobs/JobTexts.h"
#include "jobs/StartupSettings.h"
#include "net/NetJobBoard.h"
#include "output/OutputSettings.h"
#include "output/PlotTimeMeter.h"
#include "platform/Hooks.h"
#include "platform/PathMapping.h"
#include "plotdata/ResultCodes.h"

#include <poll.h>

#include <algorithm>
#include <filesystem>

namespace {

using namespace std::chrono_literals;

constexpr auto SCAN_PERIOD = 10s;
// After a file arrives the folder is scanned every second until the file has settled and a little more.
constexpr auto AFTER_ARRIVAL = FileSettle::SETTLE_TIME + 2s;
// Scans after an arrival run just after a whole second of the clock: the settle rule counts whole seconds.
constexpr auto PAST_THE_SECOND = 20ms;
// How long --once waits for files that are still being written.
constexpr auto ONCE_WAIT = FileSettle::SETTLE_TIME * 2;

// How often the progress of a copy reaches the published snapshot, and how many failures it lists.
constexpr auto PROGRESS_PUBLISH_PERIOD = 500ms;
constexpr int FAILURES_PUBLISHED = 10;

constexpr int EXIT_ALL_FINISHED = 0;
constexpr int EXIT_JOB_NOT_FINISHED = 1;
constexpr int EXIT_INTERRUPTED = 130;

int localDay(std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    return (local.tm_year + 1900) * 1000 + local.tm_yday;
}

std::chrono::milliseconds untilNextSecond()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return 1000ms - std::chrono::duration_cast<std::chrono::milliseconds>(now) % 1000ms;
}

std::string copyName(const CPlotJob& job)
{
    return "copy " + std::to_string(job.copiesDone + 1) + "/" + std::to_string(job.copies);
}

} // namespace

CPlotServer::CPlotServer(StartupSettings& settings, const std::string& portOverride,
                         const std::string& outputFolder)
    : settings_(settings), portOverride_(portOverride), outputFolder_(outputFolder), list_(settings.server),
      unusedManualList_(settings.server), intake_(list_, unusedManualList_, settings.serverFile),
      run_(list_, settings.server, settings.cutInfo, settings.device)
{
    std::string portIni = settings.serverFile.path();
    portIni = portIni.substr(0, portIni.find_last_of('/') + 1) + "Port.INI";
    auto port =
        std::make_unique<OutputFolderPort>(portIni, outputFolder, [this] { return runningPlotFile(); });
    port_ = port.get();
    settings.device.port = std::move(port);
    list_.setView(this);
    run_.setPortOverride(portOverride);
    // The run meets Server.INI after every copy; the server meets it at every scan as well.
    run_.setServerFile(&settings.serverFile);
    // The run would mark a copy cut short by a stop as plotted; the server marks only jobs whose copies
    // are all done, so a file stopped by SIGTERM is plotted again after a restart.
    run_.setMarkPlotted(false);

    platform::Hooks hooks;
    hooks.messageBox = [](const std::string& text, const std::string&, unsigned) {
        logEvent(text);
        return platform::IDOK;
    };
    // One stop: the stopped copy still sends its closing commands after it.
    hooks.messageStep = [this, stopped = false]() mutable {
        if (stopRequested() && !stopped) {
            stopped = true;
            run_.stop();
        }
        stopCanceledCopy();
    };
    hooks.saveFileName = [this](const platform::SaveFileRequest&) { return port_->answerFileName(); };
    platform::installHooks(hooks);
}

CPlotServer::~CPlotServer()
{
    platform::resetHooks();
    list_.setView(nullptr);
}

void CPlotServer::start()
{
    std::error_code error;
    std::filesystem::create_directories(outputFolder_, error);
    // A new home has no receive folder yet; the design programs need one to write into.
    std::filesystem::create_directories(platform::toFileSystemPath(receiveFolder()), error);
    rollCount().remember();
    rollLoaded_ = settings_.server.REMAINMEDIALENGTH;
    deletionDay_ = localDay(std::time(nullptr));
    const PlotJournal* journal = run_.journal();
    for (const std::string& text : port_->recoverHeldPasses(journal == nullptr || journal->lastCopyEnded()))
        logEvent(text);
    readFailures();
    logEvent("started: settings " + std::string(settings_.serverFile.path()) + ", receive folder " +
             receiveFolder() + ", device " + settings_.device.displayName + ", port " +
             (portOverride_.empty() ? std::string(settings_.cutInfo.Port) : portOverride_) + ", media left " +
             std::to_string(settings_.server.REMAINMEDIALENGTH) + " mm");
}

void CPlotServer::finish()
{
    logDeleted(deleteOldPlotted(list_, settings_.server.AutoDeleType, std::time(nullptr), run_.journal()));
    syncRollCount();
    logEvent("exit: media left " + std::to_string(settings_.server.REMAINMEDIALENGTH) + " mm" +
             (rollCount().writeFailed()
                  ? ", not saved: " + std::string(settings_.serverFile.path()) + " cannot be written"
                  : std::string()));
}

void CPlotServer::logDeleted(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        logEvent("deleted, plotted and old enough for AutoDeleType " +
                 std::to_string(settings_.server.AutoDeleType) + ": " + path);
}

int CPlotServer::serve()
{
    start();
    lastArrival_ = SteadyTime{};
    scanAndPlot();
    while (!stopRequested()) {
        SteadyTime due = lastScan_ + SCAN_PERIOD;
        const SteadyTime now = std::chrono::steady_clock::now();
        if (now < lastArrival_ + AFTER_ARRIVAL)
            due = std::min(due, now + untilNextSecond() + PAST_THE_SECOND);
        due = std::min(due, settleDue());
        waitForEvents(due);
        if (stopRequested())
            break;
        if (takeReloadRequest())
            reloadSettings();
        if (std::chrono::steady_clock::now() >= due)
            scanAndPlot();
        deleteOldFilesOnNewDay();
    }
    finish();
    return 0;
}

int CPlotServer::serveOnce()
{
    start();
    scanAndPlot();
    const SteadyTime giveUp = std::chrono::steady_clock::now() + ONCE_WAIT;
    while (!stopRequested() && !filesHeldBack().empty() && std::chrono::steady_clock::now() < giveUp) {
        waitForEvents(std::chrono::steady_clock::now() + untilNextSecond() + PAST_THE_SECOND);
        scanAndPlot();
    }
    const bool stopped = stopRequested();
    // A file left out, or still being written when the wait is over, is a file this run did not plot.
    bool allFinished = !leftOut_.any();
    if (!stopped) {
        for (const std::string& path : filesHeldBack()) {
            allFinished = false;
            logEvent("not listed, still being written after " + std::to_string(ONCE_WAIT.count()) +
                     " s: " + path);
        }
    }
    for (int row = 0; row < list_.rowCount(); ++row) {
        const CPlotJob* job = list_.jobAt(row);
        if (job != nullptr && job->state != CPlotJob::STATE_FINISHED) {
            allFinished = false;
            logEvent("not finished: " + std::string(job->path) + ": " + stateText(*job));
        }
    }
    finish();
    if (stopped)
        return EXIT_INTERRUPTED;
    return allFinished ? EXIT_ALL_FINISHED : EXIT_JOB_NOT_FINISHED;
}

// Sleeps until due, a file arrives in the receive folder or a signal comes. An arrival makes the scan due
// at once.
void CPlotServer::waitForEvents(SteadyTime due)
{
    const auto now = std::chrono::steady_clock::now();
    const auto timeout = due > now ? std::chrono::ceil<std::chrono::milliseconds>(due - now) : 0ms;
    pollfd fds[3] = {{signalWakeupFd(), POLLIN, 0},
                     {watch_.fd(), POLLIN, 0},
                     {netBoard_ != nullptr ? netBoard_->wakeupFd() : -1, POLLIN, 0}};
    if (::poll(fds, 3, static_cast<int>(timeout.count())) <= 0)
        return;
    // A file received over the network is whole: it is listed at once.
    if (fds[2].revents & POLLIN) {
        netBoard_->drainWakeups();
        lastScan_ = std::chrono::steady_clock::now() - SCAN_PERIOD;
    }
    if (fds[0].revents & POLLIN)
        drainSignalWakeups();
    if ((fds[1].revents & POLLIN) && watch_.takeEvents()) {
        lastArrival_ = std::chrono::steady_clock::now();
        lastScan_ = lastArrival_ - SCAN_PERIOD;
    }
}

void CPlotServer::scanAndPlot()
{
    lastScan_ = std::chrono::steady_clock::now();
    syncRollCount();
    retryJobsForDevice();
    watch_.watch(platform::toFileSystemPath(receiveFolder()));
    dropJobsWithoutFiles();
    const int before = list_.rowCount();
    intake_.pollAutomatic();
    leftOut_.update(intake_.automaticFilter().leftOut());
    takeNetworkArrivals();
    for (int row = before; row < list_.rowCount(); ++row) {
        CPlotJob* job = list_.jobAt(row);
        if (job == nullptr)
            continue;
        takeUpNetworkJob(*job);
        takeUpJournaledJob(*job);
        const bool plotted = job->state == CPlotJob::STATE_FINISHED;
        logEvent(std::string(plotted ? "already plotted: " : "job found: ") + job->path);
        seen_[row] = {job->state, job->messageId};
    }
    for (const int row : endedJobs_.takeUpRewritten(list_)) {
        marked_.erase(list_.jobAt(row));
        logEvent(std::string("job found again, its file was written anew: ") + list_.jobAt(row)->path);
        seen_[row] = {CPlotJob::STATE_WAITING, 0};
    }
    // New jobs show as waiting while the first of them loads.
    publishQueue();
    plotWaitingJobs();
    publishQueue();
}

// Plots every waiting job. An import failure ends the automatic sequence; the jobs after the failed one
// are not left for the next scan but started again at once.
void CPlotServer::plotWaitingJobs()
{
    for (int round = 0; round <= list_.rowCount() && !stopRequested(); ++round) {
        carryOutCancels();
        if (list_.nextWaitingJob(0) < 0)
            break;
        run_.startAutomaticSequence();
        bool ran = false;
        while (!posted_.empty()) {
            const int command = posted_.front();
            posted_.pop_front();
            if (command == ID_RUN) {
                run_.run();
                ran = true;
            }
        }
        const bool deviceAway = holdJobsForDevice();
        markFinishedJobs();
        reportJobChanges();
        if (!ran || deviceAway)
            break;
    }
    carryOutCancels();
    markFinishedJobs();
    reportJobChanges();
}

void CPlotServer::syncRollCount()
{
    const std::int32_t before = settings_.server.REMAINMEDIALENGTH;
    if (rollCount().sync()) {
        // A count raised by someone else is a roll reloaded.
        if (settings_.server.REMAINMEDIALENGTH > before)
            rollLoaded_ = settings_.server.REMAINMEDIALENGTH;
        logEvent("media left " + std::to_string(settings_.server.REMAINMEDIALENGTH) +
                 " mm, as Server.INI now says");
        requeueJobsShortOfMedia();
    }
    // Said once until a write succeeds again, not at every scan.
    if (rollCount().writeFailed() && !rollWriteLogged_)
        logEvent("cannot write the media left to " + std::string(settings_.serverFile.path()));
    rollWriteLogged_ = rollCount().writeFailed();
}

void CPlotServer::requeueJobsShortOfMedia()
{
    for (int row = 0; row < list_.rowCount(); ++row) {
        CPlotJob* job = list_.jobAt(row);
        if (job == nullptr || job->state != CPlotJob::STATE_STANDBY ||
            job->messageId != RESULT_NOT_ENOUGH_MEDIA)
            continue;
        job->state = CPlotJob::STATE_WAITING;
        job->messageId = 0;
        seen_[row] = {job->state, job->messageId};
        list_.refreshRow(row);
        logEvent(std::string("job waiting again for the new roll: ") + job->path);
    }
}

void CPlotServer::deleteOldFilesOnNewDay()
{
    const std::time_t now = std::time(nullptr);
    const int today = localDay(now);
    if (today == deletionDay_)
        return;
    deletionDay_ = today;
    logDeleted(deleteOldPlotted(list_, settings_.server.AutoDeleType, now, run_.journal()));
}

void CPlotServer::reloadSettings()
{
    syncRollCount();
    const std::string refused = ::reloadSettings(settings_);
    if (!refused.empty())
        logEvent("device not reloaded, " + refused + "; still plotting with device " +
                 settings_.device.displayName);
    rollCount().remember();
    // The port in use: --port stays over the [CutInfo] port through a reload.
    logEvent("settings reloaded: device " + std::string(settings_.device.displayName) + ", port " +
             (portOverride_.empty() ? std::string(settings_.cutInfo.Port) : portOverride_) + ", media left " +
             std::to_string(settings_.server.REMAINMEDIALENGTH) + " mm");
    publishQueue();
}

// Failures and jobs set aside show in the job's state, set after the copy's own notifications; they are
// reported when the next job starts and when the run ends.
void CPlotServer::reportJobChanges()
{
    for (int row = 0; row < list_.rowCount(); ++row) {
        const CPlotJob* job = list_.jobAt(row);
        if (job == nullptr)
            continue;
        const JobSeen now{job->state, job->messageId};
        JobSeen& before = seen_[row];
        if (now == before)
            continue;
        before = now;
        if (job->messageId == RESULT_PORT_OPEN_FAILED)
            portOffline_ = true;
        if (job->state == CPlotJob::STATE_FAILED) {
            logEvent(std::string("job failed: ") + job->path + ": " + stateText(*job));
            readFailures();
        } else if (job->state == CPlotJob::STATE_STANDBY && job->messageId != 0)
            logEvent(std::string("job skipped: ") + job->path + ": " + stateText(*job));
    }
    publishQueue();
    reportNetworkJobs();
}

void CPlotServer::readFailures()
{
    failures_.clear();
    if (board_ == nullptr || run_.journal() == nullptr)
        return;
    for (const PlotJournal::CopyRecord& copy : run_.journal()->lastFailures(FAILURES_PUBLISHED))
        failures_.push_back({.path = copy.userPath,
                             .text = copy.text,
                             .number = copy.number,
                             .copies = copy.copies,
                             .ended = copy.ended});
}

void CPlotServer::publishQueue(bool progress)
{
    if (board_ == nullptr)
        return;
    const SteadyTime now = std::chrono::steady_clock::now();
    if (progress && now < lastPublished_ + PROGRESS_PUBLISH_PERIOD)
        return;
    lastPublished_ = now;
    QueueSnapshot snapshot = takeSnapshot(list_, settings_.server, settings_.device.displayName);
    snapshot.failures = failures_;
    if (copyProgress_.running && copyProgress_.bytesTotal > 0) {
        for (QueueSnapshot::Job& job : snapshot.jobs) {
            if (job.running)
                job.secondsLeft = copyProgress_.secondsLeft +
                                  copyProgress_.secondsTotal * std::max(0, job.copies - job.copiesDone - 1);
        }
    }
    board_->publish(std::move(snapshot));
}

std::string CPlotServer::receiveFolder() const { return CIntake::automaticFolder(settings_.serverFile); }

// The folder's files that the scans leave for later, as they may still be being written.
std::vector<std::string> CPlotServer::filesHeldBack() const
{
    std::vector<std::string> heldBack;
    const std::string folder = receiveFolder();
    std::error_code error;
    std::filesystem::directory_iterator entries(platform::toFileSystemPath(folder), error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::error_code typeError;
        if (entries->is_directory(typeError))
            continue;
        const std::string path = platform::joinPath(folder, entries->path().filename().string());
        if (CPlotJob::pathFits(path) && !list_.hasPath(path) && !intake_.automaticFilter().isLeftOut(path))
            heldBack.push_back(path);
    }
    return heldBack;
}

// The scan that finds the first file held back settled, if it stays as it is.
CPlotServer::SteadyTime CPlotServer::settleDue() const
{
    SteadyTime due = SteadyTime::max();
    for (const auto& settles : {intake_.nextSettle(), endedJobs_.nextSettle()}) {
        if (settles)
            due = std::min(due, *settles + PAST_THE_SECOND);
    }
    return due;
}

std::string CPlotServer::runningPlotFile() const
{
    const CPlotJob* job = list_.jobAt(copyRow_ >= 0 ? copyRow_ : list_.runningJob());
    return job != nullptr ? job->path : "";
}

// A file without the mark whose content the journal records as plotted (the server was ended between the
// copy and the mark, the file was renamed during its copy, or the time zone moved the mark off midnight)
// is not plotted again: it is listed as plotted, and gets the mark when it was plotted under this path.
// The same content in another file (a copy, not a rename) is a delivery of its own and is plotted.
void CPlotServer::takeUpJournaledJob(CPlotJob& job)
{
    PlotJournal* journal = run_.journal();
    if (journal == nullptr || job.state == CPlotJob::STATE_FINISHED)
        return;
    const std::string fileSystemPath = platform::toFileSystemPath(job.path);
    const ContentStamp stamp = stampFile(fileSystemPath);
    if (!journal->wasPlotted(stamp.sha256, fileSystemPath, stamp.inode))
        return;
    job.state = CPlotJob::STATE_FINISHED;
    job.copies = 0;
    if (!journal->wasPlotted(stamp.sha256, fileSystemPath)) {
        logEvent(std::string("renamed, the same content was plotted already, not plotted again: ") +
                 job.path);
        journal->deliveryEvent(journal->addDelivery(job.path, fileSystemPath, stamp),
                               PlotJournal::SAME_CONTENT, {});
        return;
    }
    logEvent(std::string("the journal records this file as plotted: ") + job.path);
    if (markPlotted(job))
        job.stamp = fileIdentity(fileSystemPath);
}

// The mark goes only on the file whose content was plotted: one written anew during its copy, or after it,
// is a new delivery and waits to be plotted.
void CPlotServer::markFinishedJobs()
{
    for (int row = 0; row < list_.rowCount(); ++row) {
        CPlotJob* job = list_.jobAt(row);
        if (job == nullptr || job->state != CPlotJob::STATE_FINISHED || job->copies < 1 ||
            job->copiesDone < job->copies || marked_.count(job) != 0)
            continue;
        const std::string fileSystemPath = platform::toFileSystemPath(job->path);
        const ContentStamp now = fileIdentity(fileSystemPath);
        // Renamed or removed during its copy: what was sent was the file's content, and under a new name
        // the journal knows it. There is nothing to mark and nothing to plot again.
        if (job->stamp.size >= 0 && now.size < 0) {
            marked_.insert(job);
            logEvent(std::string("job finished, its file renamed or removed during the copy: ") + job->path);
            continue;
        }
        if (job->stamp.size >= 0 && !now.sameFile(job->stamp)) {
            logEvent(std::string("written anew during its copy, plotted again: ") + job->path);
            job->state = CPlotJob::STATE_WAITING;
            job->copiesDone = 0;
            job->plot.reset();
            job->stamp = {};
            seen_[row] = {job->state, 0};
            list_.refreshRow(row);
            continue;
        }
        marked_.insert(job);
        if (markPlotted(*job)) {
            // The stamp follows the mark, so that a file written after it is seen as written anew.
            job->stamp = fileIdentity(fileSystemPath);
            logEvent(std::string("job finished, marked plotted: ") + job->path);
        }
    }
}

void CPlotServer::selectionChanged(int row)
{
    markFinishedJobs();
    reportJobChanges();
    copyRow_ = row;
    copyStarted_ = false;
}

void CPlotServer::progressText(int row, const std::string&)
{
    publishQueue(true);
    if (copyStarted_)
        return;
    copyStarted_ = true;
    copyRow_ = row;
    if (const CPlotJob* job = list_.jobAt(row))
        logEvent(copyName(*job) + " started: " + job->path +
                 (copyEstimate_ >= 0 ? ", about " + plotTimeText(copyEstimate_) : std::string()));
    reportNetworkJobs();
}

// The estimate comes before the copy's first section: the copy's start is logged with it.
void CPlotServer::copyProgress(int, const CopyProgress& progress)
{
    if (progress.running && progress.bytesSent == 0)
        copyEstimate_ = progress.bytesTotal > 0 ? progress.secondsTotal : -1;
    else if (!progress.running)
        copyEstimate_ = -1;
    copyProgress_ = progress;
    publishQueue(true);
}

// An unattended server's log is where an operator learns that the device stopped taking data.
void CPlotServer::deviceStalled(int row, const std::string& text)
{
    if (const CPlotJob* job = list_.jobAt(row))
        logEvent(copyName(*job) + ": " + text + ": " + job->path);
}

// Sent after every copy that was output, with the media left: the copy's end.
void CPlotServer::statusText(const std::string&)
{
    // The copy's end is journaled: its passes get their names.
    port_->publish();
    if (const CPlotJob* job = list_.jobAt(copyRow_)) {
        if (stopRequested())
            logEvent(copyName(*job) + " stopped: " + job->path);
        else if (job->state == CPlotJob::STATE_FINISHED)
            logEvent(copyName(*job) + " finished: " + job->path +
                     (port_->lastOutput().empty() ? std::string() : " -> " + port_->lastOutput()));
    }
    // The copy went out: the port could be opened.
    portOffline_ = false;
    copyStarted_ = false;
    port_->beginCopy();
    syncRollCount();
    logEvent("media left " + std::to_string(settings_.server.REMAINMEDIALENGTH) + " mm");
    publishQueue();
    reportNetworkJobs();
    if (takeReloadRequest())
        reloadSettings();
}
