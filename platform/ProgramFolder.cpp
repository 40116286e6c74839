#include "platform/ProgramFolder.h"

#include <filesystem>
#include <system_error>

namespace platform {
namespace {

std::string& overriddenFolder()
{
    static std::string folder;
    return folder;
}

std::string executableFolder()
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "./";
    std::string folder = executable.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

std::string programFolder()
{
    if (!overriddenFolder().empty())
        return overriddenFolder();
    static const std::string folder = executableFolder();
    return folder;
}

void setProgramFolder(const std::string& folder)
{
    overriddenFolder() = folder;
    if (!folder.empty() && folder.back() != '/')
        overriddenFolder() += '/';
}

} // namespace platform
