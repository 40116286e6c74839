#pragma once

#include <ctime>
#include <optional>
#include <string>

// File modification times in whole seconds, and the plotted mark: a finished job's file has its
// modification time set to local midnight of the day it was last modified, and a file whose modification
// time is local midnight counts as plotted. Paths may be in Windows form (see PathMapping).
namespace platform {

// Nothing when the file's status cannot be read.
std::optional<std::time_t> fileModifiedTime(const std::string& path);
// Sets the modification time and leaves the access time as it is.
bool setFileModifiedTime(const std::string& path, std::time_t time);

// 00:00:00 local time of the day that holds time, daylight saving decided by the system.
std::time_t localMidnight(std::time_t time);
bool isLocalMidnight(std::time_t time);

bool hasPlottedMark(const std::string& path);
// False when the file's status cannot be read or written.
bool setPlottedMark(const std::string& path);

} // namespace platform
