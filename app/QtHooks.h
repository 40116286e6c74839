#pragma once

// The window's answers to the core's hooks: message boxes with the application title as caption, the
// wait cursor, the Save-As dialog, and the message step that keeps the window alive during a write.
namespace app {

// At most one pass of the event loop per this many milliseconds, so that a byte-per-call write is not
// slowed by the event loop and the window still answers at once.
constexpr int MESSAGE_STEP_INTERVAL_MS = 5;

void installQtHooks();
// The message step on its own: handles pending events when the last pass is MESSAGE_STEP_INTERVAL_MS old.
void throttledMessageStep();

} // namespace app
