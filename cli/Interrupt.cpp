#include "cli/Interrupt.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void noteInterrupt(int) { interrupted = 1; }

} // namespace

void catchInterrupt()
{
    struct sigaction action = {};
    action.sa_handler = noteInterrupt;
    // The handler runs once: a second Ctrl-C ends the program at once, for a copy that is stuck before
    // its next write.
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool interruptRequested() { return interrupted != 0; }
