#include "jobs/CReceiveFolder.h"

#include "jobs/CPlotJob.h"
#include "platform/PathMapping.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace {

std::vector<std::string> fileNames(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(platform::toFileSystemPath(folder), error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::error_code typeError;
        if (!entries->is_directory(typeError))
            names.push_back(entries->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

CReceiveFolder::CReceiveFolder(Clock clock) : clock_(std::move(clock)) {}

std::vector<std::string> CReceiveFolder::scan(const std::string& folder,
                                              const std::function<bool(const std::string&)>& isListed)
{
    const std::time_t now = clock_();
    std::map<std::string, FileState> stillPending;
    std::vector<std::string> ready;
    for (const std::string& name : fileNames(folder)) {
        std::string path = platform::joinPath(folder, name);
        if (!CPlotJob::pathFits(path) || isListed(path))
            continue;
        struct stat status = {};
        if (::stat(platform::toFileSystemPath(path).c_str(), &status) != 0)
            continue;
        const FileState seen{static_cast<std::uintmax_t>(status.st_size), status.st_mtim.tv_sec};
        const auto before = pending_.find(path);
        const bool changed = before != pending_.end() && !(before->second == seen);
        const bool recent = seen.modified > now - SETTLE_SECONDS && seen.modified < now + SETTLE_SECONDS;
        if (changed || recent)
            stillPending.emplace(std::move(path), seen);
        else
            ready.push_back(std::move(path));
    }
    pending_ = std::move(stillPending);
    return ready;
}
