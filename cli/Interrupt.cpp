#include "cli/Interrupt.h"

#include <csignal>

namespace
{

volatile std::sig_atomic_t interrupted = 0;

// A second Ctrl-C ends the program at once, for a copy that is stuck before its next write.
void noteInterrupt(int)
{
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

void catchInterrupt()
{
    struct sigaction action = {};
    action.sa_handler = noteInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool interruptRequested()
{
    return interrupted != 0;
}
