#pragma once

#include "ui/dialogs/SettingsContext.h"

#include <string>

// The values of the half-cut dialog: the length of each cut stretch and of each uncut gap of a half cut,
// in millimetres, in [CutInfo] of the device-profile file.
class HalfCutForm {
public:
    static constexpr float kSolidMinimum = 0.1f;
    static constexpr float kVoidMinimum = 0.05f;

    explicit HalfCutForm(SettingsContext& settings) : settings_(settings) {}

    void open();
    // Reads both lengths, raising each to its lower limit (a non-number counts as 0), writes them and sets
    // them for the next run.
    void confirm();

    std::string solidText;
    std::string voidText;

private:
    SettingsContext& settings_;
};
