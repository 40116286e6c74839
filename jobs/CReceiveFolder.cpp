#include "jobs/CReceiveFolder.h"

#include "jobs/CPlotJob.h"
#include "platform/PathMapping.h"

#include <algorithm>
#include <filesystem>

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

// NOLINTNEXTLINE(performance-unnecessary-value-param): a small callable, moved in
CReceiveFolder::CReceiveFolder(FileSettle::Clock clock) : settle_(std::move(clock)) {}

// NOLINTNEXTLINE(performance-unnecessary-value-param): a small callable, moved in
void CReceiveFolder::setClock(FileSettle::Clock clock) { settle_ = FileSettle(std::move(clock)); }

std::vector<std::string> CReceiveFolder::scan(const std::string& folder,
                                              const std::function<bool(const std::string&)>& isListed)
{
    std::vector<std::string> ready;
    for (const std::string& name : fileNames(folder)) {
        std::string path = platform::joinPath(folder, name);
        if (!CPlotJob::pathFits(path) || isListed(path))
            continue;
        const std::optional<SeenFile> state = seeFile(platform::toFileSystemPath(path));
        if (state && settle_.settled(path, *state))
            ready.push_back(std::move(path));
    }
    // A ready file is listed now and not looked at again.
    for (const std::string& path : ready)
        settle_.forget(path);
    settle_.endScan();
    return ready;
}
