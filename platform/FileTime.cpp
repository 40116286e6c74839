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

std::time_t localMidnight(std::time_t time)
{
    std::tm local{};
    if (!::localtime_r(&time, &local))
        return time;
    local.tm_hour = 0;
    local.tm_min = 0;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    const std::time_t midnight = std::mktime(&local);
    return midnight == static_cast<std::time_t>(-1) ? time : midnight;
}

bool isLocalMidnight(std::time_t time)
{
    std::tm local{};
    if (!::localtime_r(&time, &local))
        return false;
    return local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
}

bool hasPlottedMark(const std::string& path)
{
    const auto modified = fileModifiedTime(path);
    return modified && isLocalMidnight(*modified);
}

bool setPlottedMark(const std::string& path)
{
    const auto modified = fileModifiedTime(path);
    return modified && setFileModifiedTime(path, localMidnight(*modified));
}

} // namespace platform
