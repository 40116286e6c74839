#include "platform/HomeFolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <thread>

namespace platform {

namespace {

// The holder writes its process id right after taking the lock; a refused process that reads the file
// in between finds it empty and looks again a few times.
constexpr int HOLDER_READ_ATTEMPTS = 50;
constexpr auto HOLDER_READ_PAUSE = std::chrono::milliseconds(2);

pid_t readHolder(int fd)
{
    for (int attempt = 0; attempt < HOLDER_READ_ATTEMPTS; ++attempt) {
        char text[32] = {};
        const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
        long pid = 0;
        if (got > 0 && std::from_chars(text, text + got, pid).ec == std::errc() && pid > 0)
            return static_cast<pid_t>(pid);
        std::this_thread::sleep_for(HOLDER_READ_PAUSE);
    }
    return 0;
}

bool writeHolder(int fd, pid_t pid)
{
    const std::string text = std::to_string(pid) + "\n";
    return ::ftruncate(fd, 0) == 0 &&
           ::pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
}

} // namespace

HomeFolderLock::~HomeFolderLock() { release(); }

bool HomeFolderLock::take(const std::string& folder)
{
    release();
    holder_ = 0;
    refusal_.clear();
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += FILE_NAME;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        refusal_ = "cannot open the lock file " + path + ": " + std::strerror(errno);
        return false;
    }
    // flock belongs to this open file: a second take in the same process is refused as well.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            holder_ = readHolder(fd);
            refusal_ = "the home folder " + folder + " is in use by another Marquill process" +
                       (holder_ > 0 ? " (process id " + std::to_string(holder_) + ")" : std::string());
        } else {
            refusal_ = "cannot lock " + path + ": " + std::strerror(error);
        }
        ::close(fd);
        return false;
    }
    if (!writeHolder(fd, ::getpid())) {
        refusal_ = "cannot write the lock file " + path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void HomeFolderLock::release()
{
    if (fd_ < 0)
        return;
    // The file stays: removing it would let a process that opened it just before lock a file that no
    // longer has a name, beside a new one that a third process locks. The process id left in it is only
    // read while someone holds the lock, who has written their own.
    ::close(fd_);
    fd_ = -1;
}

} // namespace platform
