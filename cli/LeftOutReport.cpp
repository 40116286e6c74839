#include "cli/LeftOutReport.h"

#include "cli/ServerLog.h"
#include "jobs/CPlotJob.h"

std::string LeftOutReport::text(const LeftOutFile& file)
{
    switch (file.reason) {
    case LeftOutReason::NotAPlotFile:
        return "not listed, its first bytes are no plot: " + file.path;
    case LeftOutReason::PathTooLong:
        return "not listed, its path of " + std::to_string(file.path.size()) + " bytes is longer than " +
               std::to_string(CPlotJob::PATH_SIZE - 1) + ": " + file.path;
    case LeftOutReason::OtherLetterCase:
        return "not listed, " + file.detail +
               " differs from it only in letter case and is listed: " + file.path;
    case LeftOutReason::FolderUnreadable:
        return "cannot read the receive folder: " + file.detail + ": " + file.path;
    }
    return file.path;
}

void LeftOutReport::update(const std::vector<LeftOutFile>& leftOut)
{
    std::map<std::string, std::string> now;
    for (const LeftOutFile& file : leftOut) {
        std::string line = text(file);
        const auto before = logged_.find(file.path);
        if (before == logged_.end() || before->second != line)
            logEvent(line);
        now[file.path] = std::move(line);
    }
    logged_ = std::move(now);
}
