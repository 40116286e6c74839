#pragma once

#include <string>

// One line per event on standard output, prefixed with the local time, flushed at once so that the
// journal shows it when it happens. Control characters (a file name may hold a newline) are written as
// escapes (\n, \t, \x01), so that every event stays one line and no name can forge one.
void logEvent(const std::string& text);
std::string escapeControls(const std::string& text);
