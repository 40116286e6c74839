#include "cli/FolderWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint32_t FILE_ARRIVED = IN_CLOSE_WRITE | IN_MOVED_TO;

} // namespace

FolderWatch::FolderWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderWatch::~FolderWatch()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void FolderWatch::watch(const std::string& folder)
{
    if (fd_ < 0 || (watch_ >= 0 && folder == folder_))
        return;
    if (watch_ >= 0)
        ::inotify_rm_watch(fd_, watch_);
    folder_ = folder;
    watch_ = ::inotify_add_watch(fd_, folder.c_str(), FILE_ARRIVED | IN_ONLYDIR);
}

bool FolderWatch::takeEvents()
{
    if (fd_ < 0)
        return false;
    bool arrived = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0)
            return arrived;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            if (event.mask & FILE_ARRIVED)
                arrived = true;
            // The folder itself went away: watch it again once it is back.
            if ((event.mask & IN_IGNORED) && event.wd == watch_)
                watch_ = -1;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
        }
    }
}
