#include "jobs/CPlotRun.h"

#include "output/PlotTimeMeter.h"

#include "jobs/CAutoJobList.h"
#include "jobs/JobCommandIds.h"
#include "output/CPlotterDevice.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"

CPlotRun::CPlotRun(CAutoJobList& list, ServerSettings& settings, CCutInfo& cutInfo, CPlotterDevice& device)
    : list_(list), settings_(settings), cutInfo_(cutInfo), device_(device)
{
}

CPlotRun::~CPlotRun()
{
    if (liveMeter_)
        device_.setEmissionObserver(nullptr);
}

CJobListView& CPlotRun::view() const { return list_.view(); }

void CPlotRun::redrawRunningRow() { list_.redrawRow(list_.runningJob()); }

namespace {

bool isRunning(int mode) { return mode >= RUN_PAUSE && mode <= RUN_AUTOMATIC; }

} // namespace

// A run is going on while a job is running in one of the run modes. The mode alone outlives the run: the
// automatic sequence and the page pause keep theirs once the last copy is out, and a start then begins a
// new run instead of only changing the mode of one that has ended.
bool CPlotRun::runGoingOn() const { return isRunning(list_.runMode()) && list_.runningJob() >= 0; }

void CPlotRun::startOneJob()
{
    if (runGoingOn()) {
        list_.setRunMode(RUN_ONE_JOB);
        redrawRunningRow();
        return;
    }
    const int row = list_.selectedRow();
    CPlotJob* job = list_.jobAt(row);
    if (job == nullptr || list_.runningJob() >= 0)
        return;
    if (job->state == CPlotJob::STATE_STANDBY) {
        job->state = CPlotJob::STATE_WAITING;
        list_.redrawRow(row);
    }
    if (job->state != CPlotJob::STATE_WAITING)
        return;
    list_.setRunningJob(row);
    list_.setRunMode(RUN_ONE_JOB);
    view().postCommand(ID_RUN);
}

// The job's state is not looked at: a finished or failed job can be plotted once more this way.
void CPlotRun::startWithPagePause()
{
    if (runGoingOn()) {
        list_.setRunMode(RUN_PAGE_PAUSE);
        redrawRunningRow();
        return;
    }
    const int row = list_.selectedRow();
    if (row < 0)
        return;
    if (list_.runningJob() < 0) {
        list_.setRunningJob(row);
        view().beep();
        list_.setRunMode(RUN_PAGE_PAUSE);
        view().postCommand(ID_RUN);
    }
    list_.redrawRow(row);
}

void CPlotRun::startAutomaticSequence()
{
    const int mode = list_.runMode();
    if (runGoingOn() && mode != RUN_AUTOMATIC) {
        list_.setRunMode(RUN_AUTOMATIC);
        redrawRunningRow();
        return;
    }
    if (list_.runningJob() >= 0)
        return;
    const int row = list_.nextWaitingJob(0);
    if (row < 0)
        return;
    list_.setRunningJob(row);
    list_.setRunMode(RUN_AUTOMATIC);
    view().postCommand(ID_RUN);
    list_.redrawRow(row);
}

void CPlotRun::pause()
{
    const int mode = list_.runMode();
    if (mode >= RUN_PAGE_PAUSE && mode <= RUN_AUTOMATIC) {
        list_.setRunMode(RUN_PAUSE);
        redrawRunningRow();
    }
}

// Raising the stop flag ends the copy in output at its next write or section; the run then ends after it.
// A copy in output is stopped whatever the run mode: after delete all the mode is already idle.
void CPlotRun::stop()
{
    if (list_.jobInOutput() != nullptr)
        device_.stopFlag = 1;
    if (!isRunning(list_.runMode()))
        return;
    device_.stopFlag = 1;
    redrawRunningRow();
    list_.setRunningJob(-1);
    list_.setRunMode(RUN_IDLE);
}

// Delete all also ends the copy in output, whose row the list keeps until the copy has returned.
bool CPlotRun::deleteAllJobs()
{
    if (list_.jobInOutput() != nullptr)
        device_.stopFlag = 1;
    return list_.deleteAllJobs();
}

void CPlotRun::setServerFile(CProfile* serverFile)
{
    serverFile_ = serverFile;
    rollCount_.reset();
    if (serverFile_ != nullptr) {
        rollCount_.emplace(*serverFile_, settings_);
        rollCount_->remember();
    }
    mediaSaveReported_ = false;
    journal_.reset();
    journalReported_ = false;
    if (serverFile_ != nullptr) {
        const std::string path = serverFile_->path();
        journal_ = std::make_unique<PlotJournal>(path.substr(0, path.find_last_of('/') + 1));
        reportJournal();
        recoverRollCount();
    }
}

void CPlotRun::startAfterScan()
{
    if (list_.runMode() == RUN_AUTOMATIC && list_.runningJob() < 0)
        startAutomaticSequence();
}
