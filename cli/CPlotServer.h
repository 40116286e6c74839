#pragma once

#include "cli/EndedJobFiles.h"
#include "cli/FolderWatch.h"
#include "jobs/CAutoJobList.h"
#include "jobs/CIntake.h"
#include "jobs/CJobListView.h"
#include "jobs/CManualJobList.h"
#include "jobs/CPlotRun.h"

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
    // Jobs received over the network: the queue lists them as they arrive, takes up their copies and
    // reports their states and the plotter's on the board. Null: none.
    void setNetJobBoard(NetJobBoard* board) { board_ = board; }

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
    RollCount& rollCount() { return *run_.rollCount(); }
    void reportJobChanges();
    // Gives the plotted mark to every job whose copies are all done and that has not had it yet.
    void markFinishedJobs();
    void takeUpJournaledJob(CPlotJob& job);
    std::string receiveFolder() const;
    bool filesHeldBack() const;
    std::string runningPlotFile() const;
    void waitForEvents(SteadyTime due);
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
    std::deque<int> posted_;
    std::map<int, JobSeen> seen_;
    std::set<const CPlotJob*> marked_;
    // The row whose copy is going out, and whether its start has been logged.
    int copyRow_ = -1;
    bool copyStarted_ = false;
    int deletionDay_ = 0;
    NetJobBoard* board_ = nullptr;
    // The roll's length when it was last reloaded, and whether the last copy could not open the port.
    std::int32_t rollLoaded_ = 0;
    bool portOffline_ = false;
    SteadyTime lastScan_;
    SteadyTime lastArrival_;
};
