#pragma once

#include <string>
#include <vector>

class CProfile;

// The devices that stand behind COM1..COM8 and LPT1..LPT8.
struct PortDevice {
    std::string path;        // /dev/ttyUSB0
    std::string description; // what the system calls it, or empty
};

// The serial ports the system lists, USB adapters included: built-in ports first, then the others, each
// group in natural name order (ttyUSB2 before ttyUSB10), so that COMn names the same device every time.
std::vector<PortDevice> listSerialDevices();
// The USB printer ports (/dev/usb/lp*), then the parallel ports (/dev/lp*), each in natural name order.
std::vector<PortDevice> listPrinterDevices();

// The device behind a serial (1..8) or parallel (16..23) port number: the [PortMap] entry of Port.INI
// when there is one (COM1=/dev/ttyUSB0), else the n-th listed device. Empty when nothing stands behind it.
PortDevice resolvePortDevice(int portNumber, const CProfile& portIni);
