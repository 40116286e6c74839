#pragma once

#include <string>
#include <string_view>

// Paths in settings are stored and shown as the user typed them, often in Windows form ("C:\Receive").
// They are mapped only where the file system is touched.
namespace platform {

// The file-system path: a drive letter X: becomes the folder drive_x in the settings home and
// backslashes become slashes; any other path is returned unchanged.
std::string toFileSystemPath(std::string_view path);
// The form a setting stores for a file-system path: a path inside a drive folder of the program folder
// (drive_x) becomes "X:\..." with backslashes, so that it names the same place as the Windows paths the
// settings hold; any other path is returned unchanged.
std::string toStoredPath(std::string_view fileSystemPath);
// folder + name, joined with '\' for a folder in Windows form and '/' otherwise; no separator is doubled.
std::string joinPath(std::string_view folder, std::string_view name);

} // namespace platform
