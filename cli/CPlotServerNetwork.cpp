// The queue's side of the jobs received over the network: listing them as they arrive, their copies,
// their states and the plotter's, and a client's cancel.

#include "cli/CPlotServer.h"

#include "cli/ServerLog.h"
#include "jobs/JobTexts.h"
#include "jobs/StartupSettings.h"
#include "net/NetJobBoard.h"
#include "platform/PathMapping.h"
#include "plotdata/ResultCodes.h"

#include <filesystem>

namespace {

using State = NetJobBoard::JobState;

// A job in output is plotting whatever its state says meanwhile: the run sets the state before the text.
NetJobBoard::JobStatus statusOf(const CPlotJob& job, bool inOutput)
{
    NetJobBoard::JobStatus status{.state = State::Queued, .copiesDone = job.copiesDone, .text = ""};
    if (job.state == CPlotJob::STATE_FINISHED)
        status.state = State::Completed;
    else if (inOutput)
        status.state = State::Plotting;
    // Waiting for a device that is off or unplugged: the queue plots it once the port opens again.
    else if (job.state == CPlotJob::STATE_STANDBY &&
             (job.messageId == RESULT_PORT_OPEN_FAILED || job.messageId == RESULT_PORT_WRITE_FAILED))
        status.text = stateText(job);
    else if (job.state == CPlotJob::STATE_STANDBY && job.messageId == RESULT_NOT_ENOUGH_MEDIA)
        status = {.state = State::WaitingForMedia, .copiesDone = job.copiesDone, .text = stateText(job)};
    // Failed, or held in standby by a failure: the queue does not try it again on its own.
    else if (job.state == CPlotJob::STATE_FAILED ||
             (job.state == CPlotJob::STATE_STANDBY && job.messageId != 0 && job.messageId != RESULT_STOPPED))
        status = {.state = State::Failed, .copiesDone = job.copiesDone, .text = stateText(job)};
    return status;
}

} // namespace

// The files the network printer has just moved into the receive folder are listed now, without the wait
// a file written in place needs. A file under the name of a job that ended (a canceled job's file is
// removed, so its name is free again) is a new delivery in that job's row.
void CPlotServer::takeNetworkArrivals()
{
    if (netBoard_ == nullptr)
        return;
    for (const std::string& arrived : netBoard_->takeArrivals()) {
        const std::string path =
            platform::joinPath(receiveFolder(), std::filesystem::path(arrived).filename().string());
        std::error_code error;
        if (!std::filesystem::is_regular_file(arrived, error))
            continue;
        // The network side would wait for it for ever.
        if (!CPlotJob::pathFits(path)) {
            netBoard_->update(arrived, {.state = State::Failed,
                                        .copiesDone = 0,
                                        .text = "The receive folder's path is too long for a job: " + path});
            continue;
        }
        if (!list_.hasPath(path)) {
            list_.addJob(path);
            continue;
        }
        for (int row = 0; row < list_.rowCount(); ++row) {
            CPlotJob* job = list_.jobAt(row);
            if (job == nullptr || path != job->path || list_.isInUse(row) ||
                job->state == CPlotJob::STATE_WAITING)
                continue;
            job->state = CPlotJob::STATE_WAITING;
            job->copies = 1;
            job->copiesDone = 0;
            job->messageId = 0;
            job->messageText.clear();
            job->plot.reset();
            job->stamp = {};
            job->delivery = 0;
            marked_.erase(job);
            seen_[row] = {job->state, 0};
            takeUpNetworkJob(*job);
            list_.refreshRow(row);
            logEvent(std::string("job found: ") + job->path);
        }
    }
}

// A file received before a restart keeps the copies its client ordered, though its IPP job is gone.
void CPlotServer::takeUpNetworkJob(CPlotJob& job)
{
    const std::string path = platform::toFileSystemPath(job.path);
    const bool known = netBoard_ != nullptr && netBoard_->isNetworkJob(path);
    const int copies = known ? netBoard_->takeCopies(path) : NetJobBoard::takeSavedCopies(path);
    if (copies > 0)
        job.copies = copies;
}

void CPlotServer::reportNetworkJobs()
{
    if (netBoard_ == nullptr)
        return;
    NetJobBoard::PrinterStatus printer{.plotting = copyStarted_,
                                       .mediaNeeded = false,
                                       .offline = portOffline_,
                                       .rollLeft = settings_.server.REMAINMEDIALENGTH,
                                       .rollLoaded = rollLoaded_};
    for (int row = 0; row < list_.rowCount(); ++row) {
        const CPlotJob* job = list_.jobAt(row);
        if (job == nullptr)
            continue;
        if (job->state == CPlotJob::STATE_STANDBY && job->messageId == RESULT_NOT_ENOUGH_MEDIA)
            printer.mediaNeeded = true;
        const std::string path = platform::toFileSystemPath(job->path);
        NetJobBoard::JobStatus known;
        if (!netBoard_->status(path, known) || known.state == State::Canceled)
            continue;
        netBoard_->update(path, statusOf(*job, list_.isInUse(row)));
    }
    netBoard_->updatePrinter(printer);
}

// A job its client canceled is taken off the queue: it is held in standby as a stopped job and its file is
// removed, so that it is not plotted after a restart either. A job in output is stopped first.
void CPlotServer::carryOutCancels()
{
    if (netBoard_ == nullptr || !netBoard_->cancelsPending())
        return;
    for (int row = 0; row < list_.rowCount(); ++row) {
        CPlotJob* job = list_.jobAt(row);
        if (job == nullptr || list_.isInUse(row))
            continue;
        const std::string path = platform::toFileSystemPath(job->path);
        if (!netBoard_->cancelRequested(path))
            continue;
        if (job->state == CPlotJob::STATE_FINISHED) {
            reportNetworkJobs();
            continue;
        }
        job->state = CPlotJob::STATE_STANDBY;
        job->messageId = RESULT_STOPPED;
        seen_[row] = {job->state, job->messageId};
        std::error_code error;
        std::filesystem::remove(path, error);
        list_.refreshRow(row);
        netBoard_->update(path, {.state = State::Canceled,
                                 .copiesDone = job->copiesDone,
                                 .text = "Canceled by its client; taken off the queue."});
        logEvent(std::string("job canceled by its network client, file removed: ") + job->path);
    }
}

// Called from the run's message step: stops the copy in output when its client canceled the job.
void CPlotServer::stopCanceledCopy()
{
    if (netBoard_ == nullptr || !netBoard_->cancelsPending())
        return;
    const std::string path = runningPlotFile();
    if (!path.empty() && netBoard_->cancelRequested(platform::toFileSystemPath(path)))
        run_.stop();
}
