#include "platform/SettingsFileRead.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

using namespace std::chrono_literals;

constexpr auto A_MOMENT = 50ms;
constexpr int MOST_READS = 20;
constexpr std::int64_t NS_PER_SECOND = 1000000000;

std::int64_t nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * NS_PER_SECOND + time.tv_nsec;
}

SettingsFileStamp stampOf(const struct stat& status)
{
    return {status.st_dev, status.st_ino, status.st_size, nanoseconds(status.st_mtim),
            nanoseconds(status.st_ctim)};
}

// What the last accepted read of each path found.
struct LastRead {
    SettingsFileStamp stamp;
    bool hadSection = false;
};

std::mutex lastReadsGuard;
std::map<std::string, LastRead> lastReads;

bool hasSection(const std::string& bytes)
{
    bool lineStart = true;
    for (const char c : bytes) {
        if (lineStart && c == '[')
            return true;
        if (c == '\n')
            lineStart = true;
        else if (c != ' ' && c != '\t' && c != '\r' && c != '\xEF' && c != '\xBB' && c != '\xBF')
            lineStart = false;
    }
    return false;
}

// One read. changed tells whether the file changed while it was read.
SettingsFileRead readOnce(const std::string& path, bool& changed)
{
    SettingsFileRead result;
    changed = false;
    // Without O_NONBLOCK opening a FIFO would wait for a writer for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.status = errno == ENOENT                       ? SettingsFileRead::Status::Missing
                        : (errno == ENXIO || errno == EISDIR) ? SettingsFileRead::Status::NotRegular
                                                              : SettingsFileRead::Status::Failed;
        return result;
    }
    struct stat before {};
    if (::fstat(fd, &before) != 0 || !S_ISREG(before.st_mode)) {
        result.status =
            S_ISREG(before.st_mode) ? SettingsFileRead::Status::Failed : SettingsFileRead::Status::NotRegular;
        ::close(fd);
        return result;
    }
    result.bytes.resize(static_cast<size_t>(before.st_size));
    size_t done = 0;
    bool failed = false;
    while (done < result.bytes.size()) {
        const ssize_t count = ::read(fd, result.bytes.data() + done, result.bytes.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            failed = count < 0;
            break;
        }
        done += static_cast<size_t>(count);
    }
    result.bytes.resize(done);
    struct stat after {};
    failed = failed || ::fstat(fd, &after) != 0;
    ::close(fd);
    result.status = failed ? SettingsFileRead::Status::Failed : SettingsFileRead::Status::Read;
    result.stamp = stampOf(before);
    changed = !failed && (!(stampOf(after) == result.stamp) || static_cast<off_t>(done) != before.st_size);
    return result;
}

} // namespace

SettingsFileStamp settingsFileStamp(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return {};
    return stampOf(status);
}

SettingsFileRead readSettingsFile(const std::string& path)
{
    LastRead last;
    {
        const std::lock_guard<std::mutex> lock(lastReadsGuard);
        if (const auto found = lastReads.find(path); found != lastReads.end())
            last = found->second;
    }
    SettingsFileRead result;
    SettingsFileStamp previous;
    for (int read = 1;; ++read) {
        bool changed = false;
        result = readOnce(path, changed);
        if (result.status != SettingsFileRead::Status::Read)
            return result;
        const bool section = hasSection(result.bytes);
        const bool emptied = !section && last.hadSection;
        // A cut line seen twice in a row, or seen before, is how the file ends.
        const bool cutLine = !result.bytes.empty() && result.bytes.back() != '\n' &&
                             !(result.stamp == last.stamp) && !(result.stamp == previous);
        if ((!changed && !emptied && !cutLine) || read == MOST_READS) {
            const std::lock_guard<std::mutex> lock(lastReadsGuard);
            lastReads[path] = {result.stamp, section};
            return result;
        }
        previous = result.stamp;
        std::this_thread::sleep_for(A_MOMENT);
    }
}

} // namespace platform
