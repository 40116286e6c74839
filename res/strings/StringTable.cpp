#include "res/strings/StringTable.h"

#include <algorithm>

namespace strings {
namespace {

EnglishLookup english = nullptr;
bool resultsInLocalLanguage = false;

const char* find(std::span<const StringEntry> table, int id)
{
    const auto entry =
        std::find_if(table.begin(), table.end(), [id](const StringEntry& e) { return e.id == id; });
    return entry == table.end() ? nullptr : entry->text;
}

} // namespace

const char* programString(int id)
{
    const char* text = find(chineseTable(), id);
    return text ? text : "";
}

const char* localString(int id)
{
    if (english != nullptr && id >= 0) {
        if (const char* text = english(static_cast<unsigned>(id)))
            return text;
    }
    return programString(id);
}

void useEnglishStrings(EnglishLookup lookup) { english = lookup; }
bool englishInUse() { return english != nullptr; }

const char* resultString(int id) { return resultsInLocalLanguage ? localString(id) : programString(id); }

void useLocalResultStrings(bool on) { resultsInLocalLanguage = on; }

} // namespace strings
