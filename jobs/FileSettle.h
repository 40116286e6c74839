#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

// What one look at a file sees of it: enough to tell that it changed between two looks. The times are
// only ever compared with themselves, never with a clock.
struct SeenFile {
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    // The status change time moves with every write, even when the writer puts an old modification time
    // back on the file.
    std::int64_t changedNs = 0;
    bool operator==(const SeenFile&) const = default;
};

// The file at the file-system path as it is now; nothing when it cannot be read.
std::optional<SeenFile> seeFile(const std::string& fileSystemPath);

// Files that may still be being written, between the looks of a scanner. A file has settled once looks
// spanning SETTLE_TIME of the scanner's own monotonic clock have seen it unchanged. Neither the writer's
// clock nor a file share's clock counts, so a writer whose clock differs from ours, or one that pauses for
// a few seconds in the middle of a file, never has half a file taken for the whole.
class FileSettle {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Clock = std::function<TimePoint()>;
    static constexpr std::chrono::seconds SETTLE_TIME{5};

    explicit FileSettle(Clock clock = &std::chrono::steady_clock::now);

    // Whether the file under key has been seen as state for SETTLE_TIME. The first look, and every look
    // that sees it changed, starts the time again.
    bool settled(const std::string& key, const SeenFile& state);
    void forget(const std::string& key) { held_.erase(key); }
    // Forgets every file not looked at since the previous call: gone, or taken up meanwhile.
    void endScan();
    // When the first of the files held back settles, if none of them changes; nothing when none is held.
    std::optional<TimePoint> nextSettle() const;
    // How long from now, by the clock, until nextSettle(); zero when that is past.
    std::optional<std::chrono::steady_clock::duration> untilNextSettle() const;

private:
    struct Held {
        SeenFile state;
        TimePoint since;
        bool looked = true;
    };

    Clock clock_;
    std::map<std::string, Held> held_;
};
