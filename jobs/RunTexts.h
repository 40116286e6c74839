#pragma once

#include "res/strings/Placeholders.h"
#include <cstddef>

#include <cstddef>
#include <string>

// The texts the run shows: the progress of a copy, the remaining media, a port that failed and a device
// that takes no data.

// "Plotting the region from … to … mm", in the current language.
std::string progressText(int fromMillimetres, int toMillimetres);
// The remaining media for the status bar, in millimetres or in inches with two decimals.
std::string remainingMediaText(int millimetres, bool inches);
// The result text of a copy whose port could not be opened, in the program's own language.
std::string portOpenFailureText(const std::string& port, const std::string& reason);
// The result text of a copy whose port failed during output, in the program's own language.
std::string portWriteFailureText(const std::string& port, const std::string& reason);
// The running row's progress while the device takes no data, in the current language.
std::string stalledText(std::size_t bytesSent);
// "Copy 2 of 3" for the progress pane, in the current language.
std::string copyOfText(int copy, int copies);
// "1:23 left", the plotting time left, in the current language.
std::string timeLeftText(double seconds);
