#include "jobs/CPlotRun.h"

#include "geometry/CMatrix.h"
#include "jobs/CAutoJobList.h"
#include "jobs/CIntake.h"
#include "jobs/JobPlot.h"
#include "jobs/RunTexts.h"
#include "output/CPlotterDevice.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"
#include "platform/Hooks.h"
#include "platform/PathMapping.h"
#include "plotdata/ResultCodes.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

void CPlotRun::run()
{
    device_.outputPort().beginRun();
    int row = list_.runningJob();
    while (row >= 0) {
        plotRunningJob(row);
        if (list_.runMode() != RUN_AUTOMATIC)
            break;
        row = list_.nextWaitingJob(0);
        list_.setRunningJob(row);
    }
    if (list_.runMode() == RUN_ONE_JOB)
        list_.setRunMode(RUN_IDLE);
    list_.setRunningJob(-1);
    view().bringToTop();
}

// Plots the copies the run mode asks for. Commands handled during a copy may stop the run (clearing the
// running row) or delete rows above it, so the job's row is looked up again after every copy; the list
// keeps the job's record while it is in output.
void CPlotRun::plotRunningJob(int row)
{
    CPlotJob* job = list_.jobAt(row);
    list_.select(row);
    if (job == nullptr)
        return;
    list_.setJobInOutput(job);
    if (job->copiesDone < job->copies) {
        for (;;) {
            // Idle before a copy means the run was ended (delete all) before this job's first copy: the
            // file was not plotted and keeps its mark as it is. After a copy the mode is handled below.
            if (list_.runMode() == RUN_IDLE)
                break;
            const int result = plotCopy(rowOf(job));
            list_.redrawRow(rowOf(job));
            job->messageId = result;
            saveRemainingMedia();
            // A stopped copy is not plotted: nothing is counted or marked, and the job waits in standby.
            if (result == RESULT_STOPPED)
                break;
            if (result == RESULT_NOT_ENOUGH_MEDIA || result == RESULT_DATA_BUILD_FAILED) {
                job->state = CPlotJob::STATE_STANDBY;
                if (result == RESULT_NOT_ENOUGH_MEDIA)
                    view().mediaShort(rowOf(job));
            } else if (result == RESULT_FILTER_READ_FAILED || result == RESULT_LIBRARY_FAILED ||
                       result == RESULT_PORT_OPEN_FAILED || result == RESULT_PORT_WRITE_FAILED) {
                list_.setRunMode(RUN_IDLE);
                break;
            }
            const int mode = list_.runMode();
            if (mode == RUN_PAUSE || mode == RUN_ONE_JOB || mode == RUN_AUTOMATIC) {
                if (result != RESULT_OK)
                    break;
                ++job->copiesDone;
                if (job->copiesDone < job->copies)
                    continue;
                markJobPlotted(*job);
                break;
            }
            // A copy plotted between page pauses leaves the count as it was.
            if (result == RESULT_OK)
                markJobPlotted(*job);
            break;
        }
    } else {
        markJobPlotted(*job);
    }
    if (job->state == CPlotJob::STATE_FINISHED)
        job->plot.reset();
    list_.setJobInOutput(nullptr);
    list_.refreshRow(rowOf(job));
}

int CPlotRun::plotCopy(int row)
{
    CPlotJob* job = list_.jobAt(row);
    if (job == nullptr)
        return RESULT_EMPTY_JOB_ITEM;
    job->messageText.clear();
    int result = loadJobPlot(*job);
    if (result == RESULT_OK && job->plot == nullptr)
        result = RESULT_DATA_BUILD_FAILED;
    if (result != RESULT_OK) {
        job->state = CPlotJob::STATE_FAILED;
        return result;
    }
    // A job plotted before anyone clicked it is measured now, so that its row shows its length.
    measureLoadedPlot(*job);
    journalDelivery(*job);
    CPlot& plot = *job->plot;
    plot.bake();
    if (settings_.AdjustOrg != 0) {
        plot.applyTransform(CMatrix::Translation(1.0f - plot.extent.left, 1.0f - plot.extent.top));
        plot.bake();
    }
    if (!enoughMedia(*job)) {
        job->state = CPlotJob::STATE_FAILED;
        return RESULT_NOT_ENOUGH_MEDIA;
    }
    // A stop that came while a large file was loading ends the run before the copy begins: nothing is
    // sent and no media is used.
    const int mode = list_.runMode();
    platform::messageStep();
    if (mode != RUN_IDLE && list_.runMode() == RUN_IDLE) {
        job->state = CPlotJob::STATE_STANDBY;
        return RESULT_STOPPED;
    }
    job->state = CPlotJob::STATE_WAITING;
    result = outputCopy(*job);
    // How the copy ended is journaled before anything else happens to the job.
    journalCopyEnds(*job, result);
    if (result == RESULT_OK)
        job->state = CPlotJob::STATE_FINISHED;
    else
        job->state = result == RESULT_STOPPED ? CPlotJob::STATE_STANDBY : CPlotJob::STATE_FAILED;
    showRemainingMedia();
    return result;
}

// The roll count is kept in Server.INI after every copy, so that it survives a crash or a power cut.
void CPlotRun::saveRemainingMedia()
{
    if (!rollCount_)
        return;
    rollCount_->sync();
    if (!rollCount_->writeFailed()) {
        // What the journal charged is in the file now.
        if (journal_)
            journal_->rollSaved();
        mediaSaveReported_ = false;
        return;
    }
    if (!mediaSaveReported_)
        platform::messageBox(
            fillPlaceholders(strings::localString(strings::IDS_MEDIA_NOT_SAVED), {serverFile_->path()}), {},
            platform::MB_ICONEXCLAMATION);
    mediaSaveReported_ = true;
}

// No port may write over a plot file of the list or into a receive folder.
void CPlotRun::protectRunFiles()
{
    std::vector<std::string> folders;
    if (serverFile_ != nullptr) {
        folders.push_back(platform::toFileSystemPath(CIntake::automaticFolder(*serverFile_)));
        folders.push_back(platform::toFileSystemPath(CIntake::manualFolder(*serverFile_)));
    }
    // The list's own lookup: a copy costs the same however many jobs are listed.
    // The port may outlive the run: once the run has gone, the lookup answers no.
    const std::weak_ptr<const int> alive = alive_;
    device_.outputPort().protectPaths(
        [this, alive](const std::string& path) { return !alive.expired() && list_.hasPath(path); },
        std::move(folders));
}

void CPlotRun::markJobPlotted(const CPlotJob& job) const
{
    if (markPlotted_)
        markPlotted(job);
}

int CPlotRun::rowOf(const CPlotJob* job) const
{
    for (int row = 0; row < list_.rowCount(); ++row) {
        if (list_.jobAt(row) == job)
            return row;
    }
    return -1;
}

void CPlotRun::showRemainingMedia()
{
    view().statusText(remainingMediaText(settings_.REMAINMEDIALENGTH, settings_.unit == 1));
}
