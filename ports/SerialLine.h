#pragma once

struct PortSettings;

// Applies the Port.INI settings to the serial line open on fd (see serialLineState) and raises DTR, and RTS
// unless RTS/CTS drives it. A driver that refuses the rate takes the rest with its current rate; a line
// that refuses the whole state keeps its previous state, and the port is used as it is.
void applySerialSettings(int fd, const PortSettings& settings);

// True when the line reports DSR low. A line that cannot report its modem lines never holds output.
bool dsrIsLow(int fd);

// The rate at which the line on fd sends, in bits per second; 0 when fd is not a serial line.
unsigned lineOutputRate(int fd);
