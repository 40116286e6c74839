// ResEng.so, the English language library: the English string table under the program's string ids, and
// the translation catalogue of the window's texts (menus, tool tips, dialogs), whose source texts are the
// program's own Chinese ones.

#include "res/strings/EnglishStrings.h"

extern const unsigned char englishCatalogue[];
extern const unsigned englishCatalogue_size;

extern "C" __attribute__((visibility("default"))) const char* ResEngString(unsigned id)
{
    return strings::englishString(id);
}

extern "C" __attribute__((visibility("default"))) const unsigned char* ResEngCatalogue(unsigned* size)
{
    if (size != nullptr)
        *size = englishCatalogue_size;
    return englishCatalogue;
}
