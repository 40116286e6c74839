#pragma once

#include <cstdint>
#include <string>

class CProfile;

// The serial line settings of Port.INI [PortInfo], shared by every port, and the folder of the last file
// chosen for the File port.
struct PortSettings {
    char FilePath[60] = {};
    std::uint16_t OECheck = 0;      // parity: 0 none, 1 odd, 2 even, 3 mark, 4 space, other none
    std::uint32_t TranSpeed = 9600; // bits per second
    std::uint16_t StopBits = 0;     // 0 one, 1 one and a half, 2 two, other keeps the line's setting
    std::uint16_t DataWidth = 8;    // data bits; only the low byte counts
    std::uint8_t FlowCtrl = 2;      // flags: 1 DTR/DSR, 2 RTS/CTS, 4 XON/XOFF

    // Reads the six keys; a missing file or key gives the default above.
    void load(const CProfile& portIni);
    // Writes the six keys in file order. Write failures are ignored.
    void save(CProfile& portIni) const;
};

constexpr std::uint8_t kFlowDtrDsr = 1;
constexpr std::uint8_t kFlowRtsCts = 2;
constexpr std::uint8_t kFlowXonXoff = 4;

// Port.INI in the settings home.
std::string defaultPortIniPath();
