#include "cli/ServerSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

volatile std::sig_atomic_t stopNoted = 0;
volatile std::sig_atomic_t reloadNoted = 0;
int wakeupPipe[2] = {-1, -1};

void wake()
{
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(wakeupPipe[1], &byte, 1);
    errno = savedErrno;
}

void noteStop(int)
{
    stopNoted = 1;
    wake();
}
void noteReload(int)
{
    reloadNoted = 1;
    wake();
}

void install(int signal, void (*handler)(int), int flags)
{
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

} // namespace

void catchServerSignals()
{
    if (wakeupPipe[0] < 0 && ::pipe2(wakeupPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        wakeupPipe[0] = wakeupPipe[1] = -1;
    // A second SIGTERM or SIGINT ends the server at once, for a copy stuck before its next write.
    install(SIGTERM, noteStop, SA_RESETHAND);
    install(SIGINT, noteStop, SA_RESETHAND);
    install(SIGHUP, noteReload, SA_RESTART);
    install(SIGPIPE, SIG_IGN, 0);
}

bool stopRequested() { return stopNoted != 0; }

bool takeReloadRequest()
{
    if (reloadNoted == 0)
        return false;
    reloadNoted = 0;
    return true;
}

int signalWakeupFd() { return wakeupPipe[0]; }

void drainSignalWakeups()
{
    char buffer[64];
    while (wakeupPipe[0] >= 0 && ::read(wakeupPipe[0], buffer, sizeof buffer) > 0) {
    }
}
