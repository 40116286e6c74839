#pragma once

#include <string>

// One line per event on standard output, prefixed with the local time, flushed at once so that the
// journal shows it when it happens.
void logEvent(const std::string& text);
