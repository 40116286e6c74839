#include "jobs/CIntake.h"

#include "jobs/CAutoJobList.h"
#include "jobs/CManualJobList.h"
#include "jobs/FileErrors.h"
#include "output/ServerFileKeys.h"
#include "platform/CProfile.h"
#include "platform/Hooks.h"
#include "platform/PathMapping.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iterator>

namespace {

// The receive folder keys take at most 179 characters.
constexpr int RECEIVE_PATH_SIZE = 180;

} // namespace

CIntake::CIntake(CAutoJobList& automatic, CManualJobList& manual, const CProfile& serverFile,
                 const FileSettle::Clock& clock)
    : automatic_(automatic), manual_(manual), serverFile_(serverFile), automaticFolder_(clock),
      manualFolder_(clock)
{
}

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

namespace {

// The folder of Server.INI, whose own files are never jobs.
std::string settingsFolder(const CProfile& serverFile)
{
    return std::filesystem::path(serverFile.path()).parent_path().string();
}

} // namespace

void CIntake::pollAutomatic()
{
    platform::WaitCursor waitCursor;
    const std::string folder = automaticFolder(serverFile_);
    automaticFilter_.setSettingsFolder(settingsFolder(serverFile_));
    automaticFilter_.beginScan(folder);
    const auto listed = [this](const std::string& path) { return automatic_.hasPath(path); };
    for (const std::string& path : automaticFolder_.scan(folder, listed)) {
        if (automaticFilter_.accept(path))
            automatic_.addJob(path);
    }
    automaticFilter_.endScan(automatic_);
}

void CIntake::setSettleClock(const FileSettle::Clock& clock)
{
    automaticFolder_.setClock(clock);
    manualFolder_.setClock(clock);
}

void CIntake::pollManual()
{
    platform::WaitCursor waitCursor;
    const std::string folder = manualFolder(serverFile_);
    manualFilter_.setSettingsFolder(settingsFolder(serverFile_));
    manualFilter_.beginScan(folder);
    const auto listed = [this](const std::string& path) { return manual_.hasPath(path); };
    for (const std::string& path : manualFolder_.scan(folder, listed)) {
        if (manualFilter_.accept(path))
            manual_.addManualJob(path);
    }
    manualFilter_.endScan(manual_);
}

namespace {

// The first of name, "stem (2).ext", "stem (3).ext"... that the folder does not hold yet.
std::string freeName(const std::filesystem::path& folder, const std::filesystem::path& name)
{
    std::error_code error;
    std::string candidate = name.string();
    for (int n = 2; std::filesystem::exists(folder / candidate, error); ++n)
        candidate = name.stem().string() + " (" + std::to_string(n) + ")" + name.extension().string();
    return candidate;
}

} // namespace

int CIntake::addFile(const std::string& source, bool automatic)
{
    namespace fs = std::filesystem;
    const std::string folder = automatic ? automaticFolder(serverFile_) : manualFolder(serverFile_);
    const fs::path target = platform::toFileSystemPath(folder);
    const fs::path file(source);
    std::error_code error;
    if (!fs::is_regular_file(file, error)) {
        reportFileError(error ? error.value() : EISDIR, source);
        return -1;
    }
    std::string name = file.filename().string();
    if (!fs::equivalent(file.parent_path(), target, error)) {
        fs::create_directories(target, error);
        name = freeName(target, file.filename());
        if (!fs::copy_file(file, target / name, error)) {
            reportFileError(error.value(), source);
            return -1;
        }
    }
    const std::string listed = platform::joinPath(folder, name);
    return automatic ? automatic_.addJob(listed) : manual_.addManualJob(listed);
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
