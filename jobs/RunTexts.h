#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

// The texts the run shows: the progress of a copy, the remaining media, a port that failed and a device
// that takes no data.

// Replaces the placeholders %d and %s of a table text, in order, with the values. Surplus values are
// dropped and surplus placeholders are left as they are, so that no table text can make the output read
// arguments it was not given.
std::string fillPlaceholders(const char* text, std::initializer_list<std::string> values);

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
