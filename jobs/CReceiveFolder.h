#pragma once

#include "jobs/FileSettle.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// One receive folder between its scans. A design program may still be writing a file when a scan finds
// it, so a file is ready only once the scans have seen it unchanged for FileSettle::SETTLE_TIME of the
// scanner's own monotonic clock (see FileSettle); a file first seen waits as well. The file's times are
// compared only with themselves, never with a clock: a writer or file share whose clock differs from
// ours, a clock that jumps, or a writer that pauses in the middle of a file change nothing.
class CReceiveFolder {
public:
    explicit CReceiveFolder(FileSettle::Clock clock);

    // Settles on this clock from now on; the files held back are looked at afresh.
    void setClock(FileSettle::Clock clock);
    // When a file held back would settle if it stays as it is; nothing when none is held back.
    std::optional<FileSettle::TimePoint> nextSettle() const { return settle_.nextSettle(); }
    // How long from now until then.
    std::optional<std::chrono::steady_clock::duration> untilNextSettle() const
    {
        return settle_.untilNextSettle();
    }

    // The full paths (folder joined with each file name) of the folder's files that are ready to become
    // jobs, in name order: directories, paths that do not fit a job, files that isListed accepts and
    // files still being written are left out. A missing or unreadable folder gives none.
    std::vector<std::string> scan(const std::string& folder,
                                  const std::function<bool(const std::string&)>& isListed);

private:
    FileSettle settle_;
};
