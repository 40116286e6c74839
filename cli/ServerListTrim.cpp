#include "cli/CPlotServer.h"

#include "cli/ServerLog.h"
#include "platform/PathMapping.h"

#include <sys/stat.h>

// A server runs for months: a job whose file has been deleted (by the clean-up or by anyone) is of no more
// use to the queue, and every job kept costs each copy and scan a little. Only jobs that have ended are
// taken off; a file written under the same name later is a new job.
void CPlotServer::dropJobsWithoutFiles()
{
    for (int row = list_.rowCount() - 1; row >= 0; --row) {
        const CPlotJob* job = list_.jobAt(row);
        if (job == nullptr ||
            (job->state != CPlotJob::STATE_FINISHED && job->state != CPlotJob::STATE_FAILED))
            continue;
        struct stat status {};
        if (::lstat(platform::toFileSystemPath(job->path).c_str(), &status) == 0)
            continue;
        const std::string path = job->path;
        marked_.erase(job);
        endedJobs_.forget(job);
        if (!list_.forgetJob(row))
            continue;
        // The rows below move up by one.
        std::map<int, JobSeen> seen;
        for (const auto& [seenRow, state] : seen_) {
            if (seenRow != row)
                seen[seenRow > row ? seenRow - 1 : seenRow] = state;
        }
        seen_ = std::move(seen);
        logEvent("taken off the list, its file is gone: " + path);
    }
}
