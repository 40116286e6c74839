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

// NOLINTNEXTLINE(performance-unnecessary-value-param): a small callable, moved in
void CReceiveFolder::settleByObservation(FileSettle::Clock clock)
{
    observed_.emplace(std::move(clock));
    pending_.clear();
}

std::optional<FileSettle::TimePoint> CReceiveFolder::nextSettle() const
{
    return observed_ ? observed_->nextSettle() : std::nullopt;
}

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
        if (observed_) {
            const std::optional<SeenFile> state = seeFile(platform::toFileSystemPath(path));
            if (state && observed_->settled(path, *state))
                ready.push_back(std::move(path));
            continue;
        }
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
    if (observed_) {
        // A ready file is listed now and not looked at again.
        for (const std::string& path : ready)
            observed_->forget(path);
        observed_->endScan();
    }
    return ready;
}
