#include "net/NetJobBoard.h"

#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <utility>

namespace {

// The hidden folder the network printer receives into (see ReceivedFile), which the scans pass over.
std::filesystem::path savedCopiesPath(const std::string& path)
{
    const std::filesystem::path file(path);
    return file.parent_path() / ".receiving" / (file.filename().string() + ".copies");
}

ino_t inodeOf(const std::string& path)
{
    struct stat status = {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

bool ended(NetJobBoard::JobState state)
{
    using State = NetJobBoard::JobState;
    return state == State::Completed || state == State::Failed || state == State::Canceled;
}

} // namespace

int NetJobBoard::PrinterStatus::rollPercent() const
{
    if (rollLoaded <= 0)
        return -1;
    const std::int64_t percent = std::int64_t{rollLeft} * 100 / rollLoaded;
    return static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100));
}

NetJobBoard::NetJobBoard() : wakeup_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

NetJobBoard::~NetJobBoard()
{
    if (wakeup_ >= 0)
        ::close(wakeup_);
}

std::string NetJobBoard::key(const std::string& path)
{
    return std::filesystem::path(path).lexically_normal().string();
}

void NetJobBoard::received(const std::string& path, int copies)
{
    {
        const std::lock_guard lock(mutex_);
        Entry entry;
        entry.copies = std::max(copies, 1);
        jobs_[key(path)] = entry;
        arrivals_.push_back(path);
    }
    wake();
}

std::vector<std::string> NetJobBoard::takeArrivals()
{
    const std::lock_guard lock(mutex_);
    return std::exchange(arrivals_, {});
}

void NetJobBoard::wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeup_, &one, sizeof one);
}

bool NetJobBoard::status(const std::string& path, JobStatus& status) const
{
    const std::lock_guard lock(mutex_);
    const auto found = jobs_.find(key(path));
    if (found == jobs_.end())
        return false;
    status = found->second.status;
    return true;
}

void NetJobBoard::cancel(const std::string& path)
{
    {
        const std::lock_guard lock(mutex_);
        const auto found = jobs_.find(key(path));
        if (found == jobs_.end() || found->second.cancelPending || ended(found->second.status.state))
            return;
        found->second.cancelPending = true;
        ++cancels_;
    }
    wake();
}

void NetJobBoard::forget(const std::string& path)
{
    const std::lock_guard lock(mutex_);
    const auto found = jobs_.find(key(path));
    if (found == jobs_.end())
        return;
    if (found->second.cancelPending)
        --cancels_;
    jobs_.erase(found);
}

void NetJobBoard::waitForNews(std::chrono::milliseconds most) const
{
    std::unique_lock lock(mutex_);
    if (!shut_)
        news_.wait_for(lock, most);
}

NetJobBoard::PrinterStatus NetJobBoard::printer() const
{
    const std::lock_guard lock(mutex_);
    return printer_;
}

void NetJobBoard::shut()
{
    const std::lock_guard lock(mutex_);
    shut_ = true;
    news_.notify_all();
}

bool NetJobBoard::isShut() const
{
    const std::lock_guard lock(mutex_);
    return shut_;
}

int NetJobBoard::takeCopies(const std::string& path)
{
    const std::lock_guard lock(mutex_);
    const auto found = jobs_.find(key(path));
    if (found == jobs_.end() || found->second.copiesTaken)
        return 0;
    found->second.copiesTaken = true;
    return found->second.copies;
}

bool NetJobBoard::isNetworkJob(const std::string& path) const
{
    const std::lock_guard lock(mutex_);
    return jobs_.count(key(path)) != 0;
}

bool NetJobBoard::cancelRequested(const std::string& path) const
{
    const std::lock_guard lock(mutex_);
    const auto found = jobs_.find(key(path));
    return found != jobs_.end() && found->second.cancelPending;
}

void NetJobBoard::update(const std::string& path, const JobStatus& status)
{
    const std::lock_guard lock(mutex_);
    const auto found = jobs_.find(key(path));
    if (found == jobs_.end() || found->second.status == status)
        return;
    if (found->second.cancelPending && ended(status.state)) {
        found->second.cancelPending = false;
        --cancels_;
    }
    found->second.status = status;
    news_.notify_all();
}

void NetJobBoard::updatePrinter(const PrinterStatus& status)
{
    const std::lock_guard lock(mutex_);
    printer_ = status;
}

void NetJobBoard::drainWakeups() const
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(wakeup_, &count, sizeof count);
}

void NetJobBoard::saveCopies(const std::string& path, int copies)
{
    if (copies <= 1)
        return;
    std::ofstream out(savedCopiesPath(path), std::ios::trunc);
    out << copies << ' ' << inodeOf(path) << '\n';
}

int NetJobBoard::takeSavedCopies(const std::string& path)
{
    const std::filesystem::path saved = savedCopiesPath(path);
    int copies = 0;
    ino_t inode = 0;
    {
        std::ifstream in(saved);
        if (!(in >> copies >> inode))
            return 0;
    }
    removeSavedCopies(path);
    return inode == inodeOf(path) && inode != 0 ? std::max(copies, 1) : 0;
}

void NetJobBoard::removeSavedCopies(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::remove(savedCopiesPath(path), ignored);
}
