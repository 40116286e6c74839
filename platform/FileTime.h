#pragma once

#include <ctime>
#include <optional>
#include <string>

// File modification times in whole seconds, and the plotted mark: a finished job's file has its
// modification time set to local midnight of the day it was last modified, and a file whose modification
// time is local midnight counts as plotted. Midnight is the first second of the local day, which is 01:00
// on a day whose clocks skip 00:00. Paths may be in Windows form (see PathMapping).
namespace platform {

// Nothing when the file's status cannot be read.
std::optional<std::time_t> fileModifiedTime(const std::string& path);
// Sets the modification time and leaves the access time as it is.
bool setFileModifiedTime(const std::string& path, std::time_t time);

// The first second of the local day that holds time, daylight saving decided by the system.
std::time_t localMidnight(std::time_t time);
// Whether time is the first second of its local day.
bool isLocalMidnight(std::time_t time);

// The mark of a symbolic link is the link's own modification time: the link is followed to read the plot
// only, and its target is never changed.
bool hasPlottedMark(const std::string& path);
// False when the file's status cannot be read or written.
bool setPlottedMark(const std::string& path);

} // namespace platform
