#pragma once

// Ctrl-C while plotting: the signal handler only notes it; the message step, which the port runs between
// writes, sees the note and stops the output.
void catchInterrupt();
bool interruptRequested();
