#pragma once

#include "cli/EndedJobFiles.h"
#include "cli/FolderWatch.h"
#include "cli/LeftOutReport.h"
#include "jobs/CAutoJobList.h"
#include "jobs/CIntake.h"
#include "jobs/CJobListView.h"
#include "jobs/CManualJobList.h"
#include "jobs/CPlotRun.h"
#include "jobs/QueueSnapshot.h"

#include <chrono>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

struct StartupSettings;
class NetJobBoard;
class OutputFolderPort;

// The automatic queue without a window: scans the automatic receive folder every 10 seconds and soon
// after a file arrives, plots every waiting job in the automatic sequence, and keeps the roll count in
// Server.INI current. It is the queue's view: what the window would draw becomes one log line per event.
class CPlotServer : private CJobListView {
public:
    // The settings stay the caller's; the device's port is replaced by the server's own, which writes
    // the File port's passes into outputFolder.
    CPlotServer(StartupSettings& settings, const std::string& portOverride, const std::string& outputFolder);
    ~CPlotServer() override;

    // Serves until SIGTERM or SIGINT. Returns the exit status: 0.
    int serve();
    // Plots what is in the receive folder now, waiting a little for files still being written, and
    // returns marquill-plot's exit status: 0 when every job finished, 1 when one did not, 130 when stopped.
    int serveOnce();
    // Publishes what the queue shows to the board whenever it changes, for readers in other threads.
    void publishTo(SharedQueueSnapshot* board) { board_ = board; }
    // Jobs received over the network: the queue lists them as they arrive, takes up their copies and
    // reports their states and the plotter's on the board. Null: none.
    void setNetJobBoard(NetJobBoard* board) { netBoard_ = board; }

private:
    using SteadyTime = std::chrono::steady_clock::time_point;

    void start();
    void finish();
    void scanAndPlot();
    void plotWaitingJobs();
    void requeueJobsShortOfMedia();
    void deleteOldFilesOnNewDay();
    void reloadSettings();
    void syncRollCount();
    void logDeleted(const std::vector<std::string>& paths);
    // Takes the jobs that have ended and whose files are gone off the list (ServerListTrim.cpp).
    void dropJobsWithoutFiles();
    RollCount& rollCount() { return *run_.rollCount(); }
    void reportJobChanges();
    // Gives the plotted mark to every job whose copies are all done and that has not had it yet.
    void markFinishedJobs();
    void takeUpJournaledJob(CPlotJob& job);
    // Jobs held while their device is off or unplugged (DeviceWait.cpp).
    bool holdJobsForDevice();
    void retryJobsForDevice();
    std::string receiveFolder() const;
    std::vector<std::string> filesHeldBack() const;
    SteadyTime settleDue() const;
    std::string runningPlotFile() const;
    void waitForEvents(SteadyTime due);
    // Progress during a copy is published at most a few times a second; other changes at once.
    void publishQueue(bool progress = false);
    void readFailures();
    // The network side of the queue (CPlotServerNetwork.cpp).
    void takeNetworkArrivals();
    void takeUpNetworkJob(CPlotJob& job);
    void reportNetworkJobs();
    void carryOutCancels();
    void stopCanceledCopy();

    // What the queue tells its view.
    void progressText(int row, const std::string& text) override;
    void deviceStalled(int row, const std::string& text) override;
    void statusText(const std::string& text) override;
    void selectionChanged(int row) override;
    void copyProgress(int row, const CopyProgress& progress) override;
    void postCommand(int id) override { posted_.push_back(id); }

    struct JobSeen {
        std::uint16_t state = 0;
        std::int32_t messageId = 0;
        bool operator==(const JobSeen&) const = default;
    };

    StartupSettings& settings_;
    std::string portOverride_;
    std::string outputFolder_;
    OutputFolderPort* port_;
    CAutoJobList list_;
    CManualJobList unusedManualList_;
    CIntake intake_;
    CPlotRun run_;
    EndedJobFiles endedJobs_;
    FolderWatch watch_;
    LeftOutReport leftOut_;
    std::deque<int> posted_;
    std::map<int, JobSeen> seen_;
    std::set<const CPlotJob*> marked_;
    // The jobs waiting for their device, by path, with the reason last logged.
    std::map<std::string, std::string> deviceWaits_;
    // The row whose copy is going out, and whether its start has been logged.
    int copyRow_ = -1;
    bool copyStarted_ = false;
    // The estimated time of the copy about to start, negative when there is none.
    double copyEstimate_ = -1;
    // The progress of the copy in output, for the time left the queue's readers see.
    CopyProgress copyProgress_;
    int deletionDay_ = 0;
    bool rollWriteLogged_ = false;
    NetJobBoard* netBoard_ = nullptr;
    // The roll's length when it was last reloaded, and whether the last copy could not open the port.
    std::int32_t rollLoaded_ = 0;
    bool portOffline_ = false;
    SteadyTime lastScan_;
    SteadyTime lastArrival_;
    SharedQueueSnapshot* board_ = nullptr;
    std::vector<QueueSnapshot::Failure> failures_;
    SteadyTime lastPublished_;
};
