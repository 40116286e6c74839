#include "jobs/CPlotRun.h"

#include "jobs/CAutoJobList.h"
#include "jobs/CommandIds.h"
#include "output/CPlotterDevice.h"

CPlotRun::CPlotRun(CAutoJobList& list, ServerSettings& settings, CCutInfo& cutInfo, CPlotterDevice& device)
    : list_(list), settings_(settings), cutInfo_(cutInfo), device_(device)
{
}

CJobListView& CPlotRun::view() const { return list_.view(); }

void CPlotRun::redrawRunningRow() { list_.redrawRow(list_.runningJob()); }

namespace {

bool isRunning(int mode) { return mode >= RUN_PAUSE && mode <= RUN_AUTOMATIC; }

} // namespace

void CPlotRun::startOneJob()
{
    if (isRunning(list_.runMode())) {
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
    if (isRunning(list_.runMode())) {
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
    if (mode >= RUN_PAUSE && mode <= RUN_ONE_JOB) {
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
void CPlotRun::stop()
{
    if (!isRunning(list_.runMode()))
        return;
    device_.stopFlag = 1;
    redrawRunningRow();
    list_.setRunningJob(-1);
    list_.setRunMode(RUN_IDLE);
}

bool CPlotRun::isCommandEnabled(int commandId) const
{
    const int mode = list_.runMode();
    const CPlotJob* selected = list_.jobAt(list_.selectedRow());
    switch (commandId) {
    case ID_PLOT_START:
        return mode != RUN_ONE_JOB;
    case ID_PLOT_START_PAGE_PAUSE:
        return mode != RUN_PAGE_PAUSE;
    case ID_PLOT_AUTOMATIC:
        return mode != RUN_AUTOMATIC;
    case ID_JOB_DELETE:
    case ID_ADD_COPY:
        return list_.selectedRow() >= 0;
    case ID_JOB_DELETE_ALL:
        return list_.rowCount() > 0;
    case ID_REMOVE_COPY:
        return selected != nullptr && selected->copiesDone < selected->copies;
    case ID_OUTPUT_SETTINGS:
        // Also refused while a stopped copy is still unwinding: its settings are in use until it returns.
        return list_.runningJob() < 0 && device_.stopFlag != 0;
    case ID_PLOT_PAUSE:
    case ID_PLOT_STOP:
    case ID_RUN:
    case ID_FIND_PLOT_DATA:
    case ID_CLEAN_TEMPORARY:
    case ID_PATH_SETTINGS:
    case ID_RELOAD_MEDIA:
        return true;
    default:
        return false;
    }
}
