#pragma once

#include <string>
#include <vector>

class CPlotPort;

// What a device check found: the port opened or why not, and what the device answered.
struct DeviceProbe {
    bool opened = false;
    std::string openError;
    std::string identity; // the answer to OI; empty when none came
    long bufferSize = -1; // ESC.L, -1 without an answer
    long freeSpace = -1;  // ESC.B
    long status = -1;     // ESC.O
    long error = -1;      // ESC.E
    std::string failure;  // why the device could not be asked further (it hung up), else empty

    bool answersBufferQuery() const { return bufferSize > 0 && freeSpace >= 0; }
};

// Opens the selected COM or LPT port with its Port.INI settings to hear the device, asks it ESC.L, ESC.B,
// ESC.O, ESC.E and OI, each within two seconds, and closes it. A device that answers no buffer question
// is asked OI only, so that a silent device is checked in a few seconds.
DeviceProbe probeDevice(CPlotPort& port);

// The check in words, one line each, in the current language: what the device answered, its state, and
// which handshake to choose.
std::vector<std::string> describeProbe(const DeviceProbe& probe);
