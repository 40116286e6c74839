#include "platform/FileTime.h"

#include "platform/PathMapping.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

std::optional<std::time_t> fileModifiedTime(const std::string& path)
{
    struct stat status {};
    if (::stat(toFileSystemPath(path).c_str(), &status) != 0)
        return std::nullopt;
    return status.st_mtim.tv_sec;
}

bool setFileModifiedTime(const std::string& path, std::time_t time)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {time, 0}};
    return ::utimensat(AT_FDCWD, toFileSystemPath(path).c_str(), times, 0) == 0;
}

namespace {

bool sameLocalDate(std::time_t time, const std::tm& date)
{
    std::tm local{};
    return ::localtime_r(&time, &local) != nullptr && local.tm_mday == date.tm_mday &&
           local.tm_mon == date.tm_mon && local.tm_year == date.tm_year;
}

} // namespace

// The first second of the local day, found by searching rather than by asking for 00:00:00: on a day
// whose clocks jump from 23:59:59 to 01:00 there is no 00:00, and the day starts at 01:00.
std::time_t localMidnight(std::time_t time)
{
    std::tm date{};
    if (!::localtime_r(&time, &date))
        return time;
    // Thirty hours back is always an earlier date; the answer lies after it and at or before time.
    constexpr std::time_t longestDay = 30 * 3600;
    std::time_t earlier = time - longestDay;
    std::time_t first = time;
    while (first - earlier > 1) {
        const std::time_t middle = earlier + (first - earlier) / 2;
        if (sameLocalDate(middle, date))
            first = middle;
        else
            earlier = middle;
    }
    return first;
}

bool isLocalMidnight(std::time_t time)
{
    std::tm date{};
    return ::localtime_r(&time, &date) != nullptr && !sameLocalDate(time - 1, date);
}

namespace {

// The modification time of the path itself: a symbolic link's own, not its target's.
std::optional<std::time_t> ownModifiedTime(const std::string& path)
{
    struct stat status {};
    if (::lstat(toFileSystemPath(path).c_str(), &status) != 0)
        return std::nullopt;
    return status.st_mtim.tv_sec;
}

} // namespace

bool hasPlottedMark(const std::string& path)
{
    const auto modified = ownModifiedTime(path);
    return modified && isLocalMidnight(*modified);
}

// A link in the receive folder is followed to read the plot, never to change what it points at: the mark
// goes on the link itself, and the target keeps its time.
bool setPlottedMark(const std::string& path)
{
    const auto modified = ownModifiedTime(path);
    if (!modified)
        return false;
    const timespec times[2] = {{0, UTIME_OMIT}, {localMidnight(*modified), 0}};
    return ::utimensat(AT_FDCWD, toFileSystemPath(path).c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace platform
