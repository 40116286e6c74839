#pragma once

#include <string>

// Tells when a file in one folder is closed after writing or moved into it (inotify), so that the
// server need not wait for its next scan. Only a wake-up: what is ready is still decided by a scan.
class FolderWatch {
public:
    FolderWatch();
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches this folder (a file-system path) instead of the one before. Nothing changes when it is
    // already watched; a folder that cannot be watched now (missing) is tried again at the next call.
    void watch(const std::string& folder);
    // Readable when events wait; -1 when the system offers no watch.
    int fd() const { return fd_; }
    // Reads the waiting events; true when one of them was a file closed or moved in.
    bool takeEvents();

private:
    int fd_ = -1;
    int watch_ = -1;
    std::string folder_;
};
