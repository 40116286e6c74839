#pragma once

// Ctrl-C, a termination request or a hang-up of the terminal while plotting: the signal handler only
// notes it; the message step, which the port runs between writes, sees the note and stops the output.
void catchInterrupt();
bool interruptRequested();
// 128 plus the number of the signal that stopped the run, as a shell reports a program it ended.
int interruptExitStatus();
