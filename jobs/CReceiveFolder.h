#pragma once

#include "jobs/FileSettle.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// One receive folder between its scans. A design program may still be writing a file when a scan finds
// it; such a file is left for a later scan while its size or modification time changed since the previous
// scan, or while its modification time is within 5 seconds of now. An unattended scanner settles files on
// what it observes instead (settleByObservation).
class CReceiveFolder {
public:
    using Clock = std::function<std::time_t()>;
    static constexpr std::time_t SETTLE_SECONDS = 5;

    explicit CReceiveFolder(Clock clock);

    // From now on a file is ready once the scans have seen it unchanged for 5 seconds of this monotonic
    // clock (see FileSettle), whatever its times say; a file first seen by a scan waits as well.
    void settleByObservation(FileSettle::Clock clock);
    // When a file held back would settle if it stays as it is; nothing when none is held back or the
    // folder settles by the file times.
    std::optional<FileSettle::TimePoint> nextSettle() const;

    // The full paths (folder joined with each file name) of the folder's files that are ready to become
    // jobs, in name order: directories, paths that do not fit a job, files that isListed accepts and
    // files still being written are left out. A missing or unreadable folder gives none.
    std::vector<std::string> scan(const std::string& folder,
                                  const std::function<bool(const std::string&)>& isListed);

private:
    struct FileState {
        std::uintmax_t size;
        std::time_t modified;
        bool operator==(const FileState&) const = default;
    };

    Clock clock_;
    std::optional<FileSettle> observed_;
    // Files held back by the previous scan, with what that scan saw of them.
    std::map<std::string, FileState> pending_;
};
