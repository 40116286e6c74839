#pragma once

#include <string>
#include <vector>

class CProfile;

// The edition that offers neither parallel ports nor the File port.
constexpr int kEditionWithoutFileOutput = 2;

// The port names offered to the user (editionCode is platform::editionCode()), in list order: COM1..COM4
// where a serial device stands behind the name, then (except in the edition without file output) LPT1..LPT4
// where a parallel or USB printer port exists, also when it is busy or not permitted, then File. Each text
// starts with the 4-character name and then says what is behind it: "COM1  /dev/ttyUSB0 (FTDI FT232R, USB
// serial)".
std::vector<std::string> listPortNames(int editionCode, const CProfile& portIni);

// The entry to select for the stored port name: the first entry that starts with it, ignoring case; the
// first entry when the name is empty or matches none; -1 when the list is empty.
int findPortEntry(const std::vector<std::string>& entries, const std::string& storedPort);

// The port name an entry stands for: its first 4 characters.
std::string portNameOfEntry(const std::string& entry);
