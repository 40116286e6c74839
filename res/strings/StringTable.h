#pragma once

#include <span>

// The string tables: the program's own Chinese texts, and the English texts under the same ids that the
// language library carries. An id missing from a table reads as the empty text.
namespace strings {

struct StringEntry {
    int id;
    const char* text;
};

std::span<const StringEntry> chineseTable();
std::span<const StringEntry> englishTable();

// The program's own (Chinese) text, whatever the current language; job results always use it.
const char* programString(int id);
// The text of the current language. English texts fall back to the Chinese text of an id they lack.
const char* localString(int id);

// Chooses the current language's table: English when on, else the program's own.
void useEnglishStrings(bool on);

} // namespace strings
