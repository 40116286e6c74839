#include "jobs/CIntake.h"

#include "jobs/CAutoJobList.h"
#include "jobs/CManualJobList.h"
#include "output/ServerFileKeys.h"
#include "platform/CProfile.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <iterator>

namespace {

// The receive folder keys take at most 179 characters.
constexpr int RECEIVE_PATH_SIZE = 180;

} // namespace

CIntake::CIntake(CAutoJobList& automatic, CManualJobList& manual, const CProfile& serverFile,
                 CReceiveFolder::Clock clock) // NOLINT(performance-unnecessary-value-param): a small callable
    : automatic_(automatic), manual_(manual), serverFile_(serverFile), automaticFolder_(clock),
      manualFolder_(clock)
{
}

std::time_t CIntake::systemClock() { return std::time(nullptr); }

namespace {

std::string receiveFolder(const CProfile& serverFile, const TextKey& key)
{
    char folder[RECEIVE_PATH_SIZE];
    readSetting(serverFile, key, folder, RECEIVE_PATH_SIZE);
    return folder;
}

} // namespace

std::string CIntake::automaticFolder(const CProfile& serverFile)
{
    return receiveFolder(serverFile, ReceiveKeys::AReceivePath);
}

std::string CIntake::manualFolder(const CProfile& serverFile)
{
    return receiveFolder(serverFile, ReceiveKeys::MReceivePath);
}

void CIntake::pollAutomatic()
{
    platform::WaitCursor waitCursor;
    const auto listed = [this](const std::string& path) { return automatic_.hasPath(path); };
    for (const std::string& path : automaticFolder_.scan(automaticFolder(serverFile_), listed))
        automatic_.addJob(path);
}

void CIntake::pollManual()
{
    platform::WaitCursor waitCursor;
    const auto listed = [this](const std::string& path) { return manual_.hasPath(path); };
    for (const std::string& path : manualFolder_.scan(manualFolder(serverFile_), listed))
        manual_.addManualJob(path);
}

void CIntake::sendToAutomatic()
{
    const CPlotJob* manualJob = manual_.jobAt(manual_.selectedRow());
    if (!manualJob)
        return;
    auto job = std::make_unique<CPlotJob>();
    std::copy(std::begin(manualJob->path), std::end(manualJob->path), job->path);
    job->options = manualJob->options;
    job->startOffset = manualJob->startOffset;
    job->sectionLength = manualJob->sectionLength;
    job->overlap = manualJob->overlap;
    job->length = manualJob->length;
    job->width = manualJob->width;
    job->sectionLimit = manualJob->sectionLimit;
    job->state = CPlotJob::STATE_STANDBY;
    const std::string path = job->path;
    automatic_.addJob(path, std::move(job));
}
