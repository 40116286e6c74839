#include "jobs/FileSettle.h"

#include <sys/stat.h>

#include <algorithm>

namespace {

constexpr std::int64_t NS_PER_SECOND = 1000000000;

std::int64_t nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * NS_PER_SECOND + time.tv_nsec;
}

} // namespace

std::optional<SeenFile> seeFile(const std::string& fileSystemPath)
{
    struct stat status = {};
    if (::stat(fileSystemPath.c_str(), &status) != 0)
        return std::nullopt;
    return SeenFile{status.st_ino, status.st_size, nanoseconds(status.st_mtim), nanoseconds(status.st_ctim)};
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): a small callable, moved in
FileSettle::FileSettle(Clock clock) : clock_(std::move(clock)) {}

bool FileSettle::settled(const std::string& key, const SeenFile& state)
{
    const TimePoint now = clock_();
    const auto [held, first] = held_.try_emplace(key, Held{state, now});
    held->second.looked = true;
    if (first || !(held->second.state == state)) {
        held->second.state = state;
        held->second.since = now;
        return false;
    }
    return now - held->second.since >= SETTLE_TIME;
}

void FileSettle::endScan()
{
    for (auto held = held_.begin(); held != held_.end();) {
        if (!held->second.looked) {
            held = held_.erase(held);
            continue;
        }
        held->second.looked = false;
        ++held;
    }
}

std::optional<FileSettle::TimePoint> FileSettle::nextSettle() const
{
    std::optional<TimePoint> first;
    for (const auto& [key, held] : held_) {
        const TimePoint due = held.since + SETTLE_TIME;
        if (!first || due < *first)
            first = due;
    }
    return first;
}

std::optional<std::chrono::steady_clock::duration> FileSettle::untilNextSettle() const
{
    const std::optional<TimePoint> due = nextSettle();
    if (!due)
        return std::nullopt;
    return std::max(*due - clock_(), std::chrono::steady_clock::duration::zero());
}
