#pragma once

#include "ports/PortSettings.h"

#include <array>
#include <string>

class CProfile;

// The values of the port settings dialog: the line settings of Port.INI as list positions and check boxes.
class PortSettingsForm {
public:
    static constexpr std::array<const char*, 13> kSpeeds = {"256000", "128000", "115200", "57600", "56000",
                                                            "38400",  "19200",  "14400",  "9600",  "4800",
                                                            "2400",   "1200",   "600"};
    static constexpr std::array<const char*, 5> kDataBits = {"8", "7", "6", "5", "4"};

    explicit PortSettingsForm(CProfile& portFile) : portFile_(portFile) {}

    // Loads Port.INI and shows it. A stored value that no entry stands for leaves its list unselected.
    void open();
    // Shows the factory settings: 9600 baud, no parity, 8 data bits, one stop bit, RTS/CTS only.
    // Nothing is saved until confirm.
    void restore();
    // Writes all six keys of Port.INI from the controls. A list left without a selection keeps the
    // value that was loaded for it.
    void confirm();
    // The settings the controls show, as confirm would write them.
    PortSettings shownSettings() const;

    int speedIndex = -1;
    int parityIndex = -1;
    int dataBitsIndex = -1;
    int stopBitsIndex = -1;
    bool rtsCts = false;
    bool xonXoff = false;
    bool dtrDsr = false;

private:
    void show();

    CProfile& portFile_;
    PortSettings loaded_;
};
