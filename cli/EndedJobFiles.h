#pragma once

#include <sys/types.h>

#include <ctime>
#include <functional>
#include <map>
#include <vector>

class CAutoJobList;
struct CPlotJob;

// Jobs that have ended (finished, failed, or held in standby by a failure other than the media) are
// not tried again on their own: a failed file would fail in a loop, a finished one would be plotted twice.
// They are taken up again only when their file is written anew: a design program that sends a corrected
// file under the same name, or a new drawing under a name already plotted, has it plotted like any new
// file, once its new content has settled.
class EndedJobFiles {
public:
    using Clock = std::function<std::time_t()>;

    explicit EndedJobFiles(Clock clock) : clock_(std::move(clock)) {}

    // Notes the file of every job that has just ended; a job whose file has since been written again
    // becomes a waiting job with its copies to do, as a new file would. Returns the rows taken up again.
    std::vector<int> takeUpRewritten(CAutoJobList& list);
    // The job's record is about to go.
    void forget(const CPlotJob* job) { ended_.erase(job); }

private:
    struct FileStamp {
        bool exists = false;
        std::time_t modified = 0;
        off_t size = 0;
        bool operator==(const FileStamp&) const = default;
    };
    struct Seen {
        FileStamp ended;    // the file when the job ended
        FileStamp previous; // the file at the previous look
    };

    static bool hasEnded(const CPlotJob& job);
    static FileStamp stampOf(const CPlotJob& job);

    Clock clock_;
    std::map<const CPlotJob*, Seen> ended_;
};
