#pragma once

#include <span>

// The string tables: the program's own Chinese texts, and the English texts under the same ids that the
// language library ResEng.so carries. An id missing from a table reads as the empty text.
namespace strings {

struct StringEntry {
    int id;
    const char* text;
};

std::span<const StringEntry> chineseTable();

// The English text of an id, or null for an id the language library lacks: what ResEng.so exports.
using EnglishLookup = const char* (*)(unsigned id);

// The program's own (Chinese) text, whatever the current language; job results always use it.
const char* programString(int id);
// The text of the current language. English texts fall back to the Chinese text of an id they lack.
const char* localString(int id);

// Makes English current, read through the lookup of the loaded language library; null makes the
// program's own texts current again.
void useEnglishStrings(EnglishLookup lookup);
bool englishInUse();

// The text of a job result: the program's own, or, once switched, the current language's.
const char* resultString(int id);
// Results follow the current language when on (the command-line tool), else stay in the program's own.
void useLocalResultStrings(bool on);

} // namespace strings
