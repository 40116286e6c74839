#include "cli/EndedJobFiles.h"

#include "jobs/CAutoJobList.h"
#include "platform/PathMapping.h"
#include "plotdata/ResultCodes.h"

bool EndedJobFiles::hasEnded(const CPlotJob& job)
{
    switch (job.state) {
    case CPlotJob::STATE_FINISHED:
    case CPlotJob::STATE_FAILED:
        return true;
    case CPlotJob::STATE_STANDBY:
        // Standby for want of media ends when the roll count is raised, not when the file changes.
        return job.messageId != 0 && job.messageId != RESULT_NOT_ENOUGH_MEDIA;
    default:
        return false;
    }
}

std::vector<int> EndedJobFiles::takeUpRewritten(CAutoJobList& list)
{
    std::vector<int> takenUp;
    for (int row = 0; row < list.rowCount(); ++row) {
        CPlotJob* job = list.jobAt(row);
        if (job == nullptr)
            continue;
        if (!hasEnded(*job)) {
            ended_.erase(job);
            settle_.forget(job->path);
            continue;
        }
        const std::optional<SeenFile> now = seeFile(platform::toFileSystemPath(job->path));
        // The file as the job left it: a file written anew before this first look is still taken up. Only
        // the identity, size and modification time are known of it.
        SeenFile left = now.value_or(SeenFile{});
        if (job->stamp.size >= 0)
            left = {job->stamp.inode, job->stamp.size, job->stamp.modifiedNs, left.changedNs};
        const SeenFile& ended = ended_.try_emplace(job, left).first->second;
        const bool unchanged = now && now->inode == ended.inode && now->size == ended.size &&
                               now->modifiedNs == ended.modifiedNs;
        if (!now || unchanged || !settle_.settled(job->path, *now))
            continue;
        ended_.erase(job);
        settle_.forget(job->path);
        job->state = CPlotJob::STATE_WAITING;
        job->messageId = 0;
        job->messageText.clear();
        job->copiesDone = 0;
        if (job->copies < 1)
            job->copies = 1;
        // The plot in memory is the old content.
        job->plot.reset();
        list.refreshRow(row);
        takenUp.push_back(row);
    }
    settle_.endScan();
    return takenUp;
}
