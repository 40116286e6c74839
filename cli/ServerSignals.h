#pragma once

// SIGTERM and SIGINT ask the server to stop, SIGHUP to reload its settings. The handlers only note the
// request and wake the main loop through a pipe; the loop and the port's message step act on it.
// SIGPIPE is ignored, so a closed standard output does not end the server.
void catchServerSignals();

bool stopRequested();
// True once per SIGHUP received.
bool takeReloadRequest();
// Readable after any of the signals; the loop empties it with drainSignalWakeups.
int signalWakeupFd();
void drainSignalWakeups();
