#pragma once

#include "jobs/FileSettle.h"

#include <map>
#include <optional>
#include <vector>

class CAutoJobList;
struct CPlotJob;

// Jobs that have ended (finished, failed, or held in standby by a failure other than the media) are
// not tried again on their own: a failed file would fail in a loop, a finished one would be plotted twice.
// They are taken up again only when their file is written anew: a design program that sends a corrected
// file under the same name, or a new drawing under a name already plotted, has it plotted like any new
// file, once its new content has settled: looks spanning 5 seconds of the clock have seen it unchanged.
class EndedJobFiles {
public:
    explicit EndedJobFiles(const FileSettle::Clock& clock = &std::chrono::steady_clock::now) : settle_(clock)
    {
    }

    // Notes the file of every job that has just ended; a job whose file has since been written again
    // becomes a waiting job with its copies to do, as a new file would. Returns the rows taken up again.
    std::vector<int> takeUpRewritten(CAutoJobList& list);
    // When a file written anew would settle if it stays as it is; nothing when none is waiting.
    std::optional<FileSettle::TimePoint> nextSettle() const { return settle_.nextSettle(); }
    // The job's record is about to go.
    void forget(const CPlotJob* job) { ended_.erase(job); }

private:
    static bool hasEnded(const CPlotJob& job);

    FileSettle settle_;
    // Each ended job's file as the job left it.
    std::map<const CPlotJob*, SeenFile> ended_;
};
