#include "jobs/CAutoJobList.h"
#include "jobs/CIntake.h"
#include "jobs/FileErrors.h"
#include "jobs/PlotJournal.h"
#include "platform/FileTime.h"
#include "platform/PathMapping.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <strings.h>

namespace {

// Minimum age in whole days of a finished job's file deleted at exit, by AutoDeleType 1 to 8.
constexpr int deletionAgeDays[] = {0, 1, 3, 7, 15, 30, 60, 100};

bool isTemporaryPlotName(const std::string& name)
{
    return name.size() >= 7 && ::strncasecmp(name.c_str(), "OSI", 3) == 0 &&
           ::strcasecmp(name.c_str() + name.size() - 4, ".TMP") == 0;
}

std::string temporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
}

} // namespace

bool markPlotted(const CPlotJob& job)
{
    if (platform::setPlottedMark(job.path))
        return true;
    reportFileError(errno, job.path);
    return false;
}

std::vector<std::string> deleteOldPlotted(const CAutoJobList& automatic, int autoDeleType, std::time_t now,
                                          PlotJournal* journal)
{
    std::vector<std::string> deleted;
    if (journal == nullptr || autoDeleType < 1 || autoDeleType > static_cast<int>(std::size(deletionAgeDays)))
        return deleted;
    const std::time_t limit = deletionAgeDays[autoDeleType - 1];
    for (int row = 0; row < automatic.rowCount(); ++row) {
        const CPlotJob* job = automatic.jobAt(row);
        if (!job || job->state != CPlotJob::STATE_FINISHED)
            continue;
        const auto modified = platform::fileModifiedTime(job->path);
        if (!modified)
            continue;
        if ((now - *modified) / 86400 < limit)
            continue;
        const std::string fileSystemPath = platform::toFileSystemPath(job->path);
        const ContentStamp stamp = stampFile(fileSystemPath);
        if (!journal->wasPlotted(stamp.sha256, fileSystemPath))
            continue;
        if (!deleteJobFile(job->path))
            return deleted;
        journal->deliveryEvent(journal->deliveryOf(fileSystemPath, stamp.sha256), PlotJournal::DELETED, {});
        deleted.push_back(job->path);
    }
    return deleted;
}

void cleanTemporary(const CAutoJobList& automatic)
{
    const std::string folder = temporaryFolder();
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::error_code typeError;
        const std::string name = entries->path().filename().string();
        if (entries->is_directory(typeError) || !isTemporaryPlotName(name))
            continue;
        const std::string path = platform::joinPath(folder, name);
        if (!automatic.hasPath(path) && !deleteJobFile(path))
            return;
    }
}
