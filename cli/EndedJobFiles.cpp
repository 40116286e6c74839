#include "cli/EndedJobFiles.h"

#include "jobs/CAutoJobList.h"
#include "jobs/CReceiveFolder.h"
#include "platform/PathMapping.h"
#include "plotdata/ResultCodes.h"

#include <sys/stat.h>

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

EndedJobFiles::FileStamp EndedJobFiles::stampOf(const CPlotJob& job)
{
    struct stat status = {};
    if (::stat(platform::toFileSystemPath(job.path).c_str(), &status) != 0)
        return {};
    return {true, status.st_mtim.tv_sec, status.st_size};
}

std::vector<int> EndedJobFiles::takeUpRewritten(CAutoJobList& list)
{
    const std::time_t now = clock_();
    std::vector<int> takenUp;
    for (int row = 0; row < list.rowCount(); ++row) {
        CPlotJob* job = list.jobAt(row);
        if (job == nullptr)
            continue;
        if (!hasEnded(*job)) {
            ended_.erase(job);
            continue;
        }
        const FileStamp stamp = stampOf(*job);
        // The file as the job left it: a file written anew before this first look is still taken up.
        const FileStamp left = job->stamp.size >= 0
                                   ? FileStamp{true, job->stamp.modifiedNs / 1000000000, job->stamp.size}
                                   : stamp;
        const auto [seen, first] = ended_.try_emplace(job, Seen{left, stamp});
        if (first)
            continue;
        const bool recent = stamp.modified > now - CReceiveFolder::SETTLE_SECONDS &&
                            stamp.modified < now + CReceiveFolder::SETTLE_SECONDS;
        const bool settled = stamp == seen->second.previous && !recent;
        seen->second.previous = stamp;
        if (!stamp.exists || stamp == seen->second.ended || !settled)
            continue;
        ended_.erase(seen);
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
    return takenUp;
}
