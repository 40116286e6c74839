#pragma once

#include "res/strings/StringTable.h"

// The English string table, built into the language library ResEng.so (and into tests that need it).
namespace strings {

std::span<const StringEntry> englishTable();
// The English text of an id, or null.
const char* englishString(unsigned id);

} // namespace strings
