#include "jobs/IntakeFilter.h"

#include "jobs/CJobList.h"
#include "jobs/CPlotJob.h"
#include "platform/PathMapping.h"
#include "plotdata/HpglSniff.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

// The sniff reads this much of a file: enough for any white space and terminators before the first
// instruction.
constexpr std::size_t SNIFF_BYTES = 4096;

bool startsWith(const std::string& name, const char* prefix)
{
    return ::strncasecmp(name.c_str(), prefix, std::strlen(prefix)) == 0;
}

bool endsWith(const std::string& name, const char* suffix)
{
    const std::size_t size = std::strlen(suffix);
    return name.size() >= size && ::strcasecmp(name.c_str() + name.size() - size, suffix) == 0;
}

// Two paths name one folder: the same device and inode.
bool sameFolder(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string folded(std::string name)
{
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

} // namespace

bool IntakeFilter::startsAsPlot(const std::string& fileSystemPath)
{
    const int fd = ::open(fileSystemPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return true;
    std::array<unsigned char, SNIFF_BYTES> head{};
    std::size_t held = 0;
    while (held < head.size()) {
        const ssize_t got = ::read(fd, head.data() + held, head.size() - held);
        if (got <= 0)
            break;
        held += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return looksLikeHpgl(head.data(), held);
}

// Server.INI, Port.INI, the device profiles and the edition files (every INI file), the plot journal
// with its WAL and shared-memory files, the settings folder's lock, and the hidden temporary files that
// replace any of them.
bool IntakeFilter::isSettingsFile(const std::string& folder, const std::string& name) const
{
    if (folder != folder_ || !inSettingsFolder_)
        return false;
    return endsWith(name, ".ini") || startsWith(name, "Journal.db") ||
           ::strcasecmp(name.c_str(), "Marquill.lock") == 0 ||
           (startsWith(name, ".") && endsWith(name, ".tmp"));
}

void IntakeFilter::beginScan(const std::string& folder)
{
    folder_ = folder;
    leftOut_.clear();
    names_.clear();
    const std::string fileSystemFolder = platform::toFileSystemPath(folder);
    inSettingsFolder_ = !settingsFolder_.empty() && sameFolder(fileSystemFolder, settingsFolder_);
    std::error_code error;
    fs::directory_iterator entries(fileSystemFolder, error);
    if (error && error != std::errc::no_such_file_or_directory)
        leftOut_.push_back({folder, LeftOutReason::FolderUnreadable, error.message()});
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        std::error_code typeError;
        if (entries->is_directory(typeError))
            continue;
        std::string name = entries->path().filename().string();
        if (isSettingsFile(folder, name))
            continue;
        const std::string path = platform::joinPath(folder, name);
        if (!CPlotJob::pathFits(path))
            leftOut_.push_back({path, LeftOutReason::PathTooLong, {}});
        names_.push_back(std::move(name));
    }
    // Files gone since are forgotten.
    const std::set<std::string> present(names_.begin(), names_.end());
    std::erase_if(notPlots_, [&present](const auto& entry) {
        return present.count(fs::path(platform::toFileSystemPath(entry.first)).filename().string()) == 0;
    });
}

bool IntakeFilter::accept(const std::string& path)
{
    const std::string fileSystemPath = platform::toFileSystemPath(path);
    if (isSettingsFile(folder_, fs::path(fileSystemPath).filename().string()))
        return false;
    struct stat status {};
    if (::stat(fileSystemPath.c_str(), &status) != 0)
        return true;
    const FileState now{status.st_size, status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec};
    const auto known = notPlots_.find(path);
    const bool plot = known != notPlots_.end() && known->second == now ? false : startsAsPlot(fileSystemPath);
    if (plot) {
        notPlots_.erase(path);
        return true;
    }
    notPlots_[path] = now;
    leftOut_.push_back({path, LeftOutReason::NotAPlotFile, {}});
    return false;
}

// Names of one folder that differ only in ASCII letter case are one job to the list: the one it holds is
// plotted, the others are said to be left out.
void IntakeFilter::endScan(const CJobList& list)
{
    std::map<std::string, std::vector<std::string>> byFolded;
    for (const std::string& name : names_)
        byFolded[folded(name)].push_back(name);
    for (const auto& [key, names] : byFolded) {
        if (names.size() < 2)
            continue;
        std::string listed;
        for (int row = 0; row < list.rowCount() && listed.empty(); ++row) {
            const std::string rowPath = platform::toFileSystemPath(list.itemText(row, 0));
            for (const std::string& name : names) {
                if (rowPath == platform::toFileSystemPath(platform::joinPath(folder_, name)))
                    listed = platform::joinPath(folder_, name);
            }
        }
        if (listed.empty())
            continue;
        for (const std::string& name : names) {
            const std::string path = platform::joinPath(folder_, name);
            if (path != listed && CPlotJob::pathFits(path))
                leftOut_.push_back({path, LeftOutReason::OtherLetterCase, listed});
        }
    }
    std::sort(leftOut_.begin(), leftOut_.end(),
              [](const LeftOutFile& a, const LeftOutFile& b) { return a.path < b.path; });
    leftOutPaths_.clear();
    for (const LeftOutFile& file : leftOut_)
        leftOutPaths_.insert(file.path);
}

bool IntakeFilter::isLeftOut(const std::string& path) const
{
    const std::string name = fs::path(platform::toFileSystemPath(path)).filename().string();
    return isSettingsFile(folder_, name) || leftOutPaths_.count(path) != 0;
}
