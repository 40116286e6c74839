#include "platform/PathMapping.h"

#include "platform/SettingsHome.h"

#include <algorithm>

namespace platform {
namespace {

bool hasDriveLetter(std::string_view path)
{
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// A path with a drive letter ("C:...") or a backslash.
bool isWindowsPath(std::string_view path)
{
    return hasDriveLetter(path) || path.find('\\') != std::string_view::npos;
}

} // namespace

std::string toFileSystemPath(std::string_view path)
{
    if (!isWindowsPath(path))
        return std::string(path);
    std::string mapped;
    if (hasDriveLetter(path)) {
        const char drive = static_cast<char>(path[0] | 0x20);
        mapped = settingsHome() + "drive_" + drive;
        path.remove_prefix(2);
        if (!path.empty() && path.front() != '\\' && path.front() != '/')
            mapped += '/';
    }
    mapped += path;
    std::replace(mapped.begin(), mapped.end(), '\\', '/');
    return mapped;
}

std::string toStoredPath(std::string_view fileSystemPath)
{
    const std::string prefix = settingsHome() + "drive_";
    if (fileSystemPath.substr(0, prefix.size()) != prefix || fileSystemPath.size() == prefix.size())
        return std::string(fileSystemPath);
    const char drive = fileSystemPath[prefix.size()];
    std::string_view rest = fileSystemPath.substr(prefix.size() + 1);
    if (drive < 'a' || drive > 'z' || (!rest.empty() && rest.front() != '/'))
        return std::string(fileSystemPath);
    std::string stored{static_cast<char>(drive - 'a' + 'A'), ':'};
    stored += rest.empty() ? std::string_view("/") : rest;
    std::replace(stored.begin(), stored.end(), '/', '\\');
    return stored;
}

std::string joinPath(std::string_view folder, std::string_view name)
{
    std::string joined(folder);
    if (!joined.empty() && joined.back() != '\\' && joined.back() != '/')
        joined += isWindowsPath(folder) ? '\\' : '/';
    joined += name;
    return joined;
}

} // namespace platform
