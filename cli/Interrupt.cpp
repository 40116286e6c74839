#include "cli/Interrupt.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t interruptSignal = 0;

void noteInterrupt(int signal) { interruptSignal = signal; }

} // namespace

void catchInterrupt()
{
    struct sigaction action = {};
    action.sa_handler = noteInterrupt;
    // The handler runs once: a second signal of the same kind ends the program at once, for a copy that
    // is stuck before its next write.
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    // A port whose reader went away fails its write with EPIPE instead of ending the program.
    std::signal(SIGPIPE, SIG_IGN);
}

bool interruptRequested() { return interruptSignal != 0; }

int interruptExitStatus() { return 128 + interruptSignal; }
