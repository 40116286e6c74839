#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A settings file's identity, size and times as one read saw them.
struct SettingsFileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const SettingsFileStamp&) const = default;
};

struct SettingsFileRead {
    enum class Status { Read, Missing, NotRegular, Failed };
    Status status = Status::Failed;
    std::string bytes;
    SettingsFileStamp stamp;
};

// Reads a whole settings file (a file-system path) that another program may be writing in place, as an
// editor saves it: truncated first, then written anew. A read that may have met the writer half way is
// read again after a moment, for at most about a second:
// - the file changed while it was read;
// - it holds no section any more, though the last read of the same path found one (the truncated file);
// - it ends in the middle of a line, and no earlier read found it so (the end is still being written).
// Whatever the last of these reads found is the result.
SettingsFileRead readSettingsFile(const std::string& path);

// The file at the path as stat sees it now; size -1 when it is missing or cannot be read.
SettingsFileStamp settingsFileStamp(const std::string& path);

} // namespace platform
