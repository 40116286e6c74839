#pragma once

#include <sys/types.h>

#include <string>

namespace platform {

// One plotter, one spooler: the window, marquill-plot and marquill-server each hold the lock of the home
// folder (the folder of Server.INI) for as long as they run, so that two of them never plot the same
// receive folder or write the same roll count. The lock is the file Marquill.lock beside Server.INI; it
// holds the process id of its holder for the refusal message. The system releases the lock when its
// holder ends, however it ends, so a crashed process leaves no stale lock behind.
class HomeFolderLock {
public:
    static constexpr const char* FILE_NAME = "Marquill.lock";

    HomeFolderLock() = default;
    ~HomeFolderLock();
    HomeFolderLock(const HomeFolderLock&) = delete;
    HomeFolderLock& operator=(const HomeFolderLock&) = delete;

    // Takes the lock of the folder (a file-system path; a missing trailing '/' is added). False when
    // another process holds it or the lock file cannot be opened; refusal() then says which.
    bool take(const std::string& folder);
    // Gives the lock up; a later take may take it again.
    void release();

    bool held() const { return fd_ >= 0; }
    // The holder's process id after a refused take, 0 when it could not be read.
    pid_t holder() const { return holder_; }
    // Why the last take was refused, naming the holder's process id; empty after a successful take.
    const std::string& refusal() const { return refusal_; }

private:
    int fd_ = -1;
    pid_t holder_ = 0;
    std::string refusal_;
};

} // namespace platform
