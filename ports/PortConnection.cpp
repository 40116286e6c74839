#include "ports/PortConnection.h"

#include "ports/PortSettings.h"
#include "ports/SerialLine.h"
#include "res/strings/Placeholders.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr int kLongestWriteWaitMs = 50;
constexpr std::size_t kFileBlockBytes = 64 * 1024;
// A serial line sends about ten bits per byte (start, eight data bits, stop); 20 blocks a second keep
// each write within 50 ms.
constexpr unsigned kBitsPerByte = 10;
constexpr unsigned kBlocksPerSecond = 20;
// A printer port has no rate to read; a slow parallel port still takes about 10,000 bytes a second.
constexpr std::size_t kPrinterBlockBytes = 512;

std::size_t writeBlockSize(int fd, bool isFile)
{
    if (isFile)
        return kFileBlockBytes;
    const unsigned rate = lineOutputRate(fd);
    if (rate == 0)
        return kPrinterBlockBytes;
    return std::clamp<std::size_t>(rate / (kBitsPerByte * kBlocksPerSecond), 1, kFileBlockBytes);
}

std::string groupOf(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return {};
    const group* owner = getgrgid(info.st_gid);
    return owner != nullptr ? owner->gr_name : std::to_string(info.st_gid);
}

std::string describeOpenError(const std::string& path, int error, bool device)
{
    if ((error == EACCES || error == EPERM) && device) {
        const std::string group = groupOf(path);
        return fillPlaceholders(strings::resultString(strings::IDS_PORT_PERMISSION_DENIED),
                                {path, group.empty() ? "" : " (" + group + ")"});
    }
    if (error == EBUSY || error == EWOULDBLOCK)
        return fillPlaceholders(strings::resultString(strings::IDS_PORT_IN_USE), {path});
    return path + ": " + std::strerror(error) + ".";
}

OpenResult failed(const std::string& path, int error, bool device)
{
    return {nullptr, describeOpenError(path, error, device)};
}

// Opens without waiting for a carrier or a printer and takes an exclusive lock, so that two programs do
// not interleave their output on one device or file.
int openExclusive(const std::string& path, int extraFlags, int& error, int access = O_WRONLY)
{
    const int fd = open(path.c_str(), access | O_NOCTTY | O_NONBLOCK | O_CLOEXEC | extraFlags, 0666);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno;
        close(fd);
        return -1;
    }
    return fd;
}

OpenResult openDevice(const std::string& path, const PortSettings* serialSettings, bool hearDevice)
{
    int error = 0;
    int fd = hearDevice ? openExclusive(path, 0, error, O_RDWR) : -1;
    // A printer port that cannot be read is still written; its handshake then hears no answer.
    if (fd < 0 && (!hearDevice || serialSettings == nullptr))
        fd = openExclusive(path, 0, error);
    if (fd < 0)
        return failed(path, error, true);
    if (serialSettings != nullptr)
        applySerialSettings(fd, *serialSettings);
    const bool watchDsr = serialSettings != nullptr && (serialSettings->FlowCtrl & kFlowDtrDsr) != 0;
    return {std::make_unique<PortConnection>(fd, false, watchDsr), {}};
}

} // namespace

PortConnection::PortConnection(int fd, bool isFile, bool watchDsr)
    : fd_(fd), isFile_(isFile), watchDsr_(watchDsr), blockSize_(writeBlockSize(fd, isFile))
{
}

PortConnection::~PortConnection()
{
    if (fd_ >= 0)
        close(fd_);
}

bool PortConnection::finish()
{
    if (!isFile_ || fd_ < 0)
        return true;
    const bool synced = fsync(fd_) == 0;
    const int syncError = errno;
    const bool closed = close(fd_) == 0;
    const int closeError = errno;
    fd_ = -1;
    if (!synced || !closed)
        brokenReason_ = std::strerror(!synced ? syncError : closeError);
    return synced && closed;
}

long PortConnection::write(const char* data, std::size_t size)
{
    if (isFile_) {
        const ssize_t written = ::write(fd_, data, size);
        return written < 0 ? failed(errno) : static_cast<long>(written);
    }
    const int waitMs = static_cast<int>(std::min<std::size_t>(size, kLongestWriteWaitMs)) + 1;
    if (watchDsr_ && dsrIsLow(fd_)) {
        // DTR/DSR handshaking: the device holds output by lowering DSR.
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
        return 0;
    }
    // Try at once; only a full line waits, up to the write time-out, for room.
    long written = writeNow(data, size);
    if (written != 0)
        return written;
    pollfd ready{fd_, POLLOUT, 0};
    const int polled = poll(&ready, 1, waitMs);
    if (polled < 0)
        return errno == EINTR ? 0 : failed(errno);
    return polled == 0 ? 0 : writeNow(data, size);
}

long PortConnection::read(char* into, std::size_t size, int waitMs)
{
    pollfd ready{fd_, POLLIN, 0};
    const int polled = poll(&ready, 1, waitMs);
    if (polled <= 0)
        return 0;
    const ssize_t got = ::read(fd_, into, size);
    if (got > 0)
        return static_cast<long>(got);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return 0;
    // End of input on a device, or a line that has gone (EIO): the device hung up. A connection opened
    // for writing only reports EBADF and is taken as silent.
    return got < 0 && errno == EBADF ? 0 : -1;
}

unsigned PortConnection::bytesPerSecond() const { return isFile_ ? 0 : lineOutputRate(fd_) / kBitsPerByte; }

long PortConnection::writeNow(const char* data, std::size_t size)
{
    const ssize_t written = ::write(fd_, data, size);
    if (written >= 0)
        return static_cast<long>(written);
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : failed(errno);
}

// A failed write of a regular file, a broken pipe, a full file system or a line that has hung up will
// not succeed on a retry. Any other failure (a device briefly gone) may, and is left to the writer's retries.
long PortConnection::failed(int error)
{
    pollfd state{fd_, POLLOUT, 0};
    const bool hungUp = poll(&state, 1, 0) == 1 && (state.revents & POLLHUP) != 0;
    if (hungUp)
        brokenReason_ = strings::resultString(strings::IDS_PORT_HUNG_UP);
    else if (isFile_ || error == EPIPE || error == ENOSPC || error == EDQUOT || error == EFBIG)
        brokenReason_ = std::strerror(error);
    return -1;
}

OpenResult openSerialLine(const std::string& path, const PortSettings& settings, bool hearDevice)
{
    return openDevice(path, &settings, hearDevice);
}

OpenResult openPrinterPort(const std::string& path, bool hearDevice)
{
    return openDevice(path, nullptr, hearDevice);
}

OpenResult createOutputFile(const std::string& path, bool append)
{
    int error = 0;
    const int fd = openExclusive(path, O_CREAT | (append ? O_APPEND : 0), error);
    if (fd < 0)
        return failed(path, error, false);
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return {std::make_unique<PortConnection>(fd, false, false), {}};
    // Truncated only once the lock is held, so a file busy in another program keeps its content.
    if (!append && ftruncate(fd, 0) != 0) {
        error = errno;
        close(fd);
        return failed(path, error, false);
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return {std::make_unique<PortConnection>(fd, true, false), {}};
}
