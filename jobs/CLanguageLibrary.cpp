#include "jobs/CLanguageLibrary.h"

#include "platform/DynamicLibrary.h"
#include "res/strings/StringTable.h"

bool CLanguageLibrary::load(const std::string& folder)
{
    unload();
    handle_ = platform::loadLibrary(folder + "ResEng.so");
    if (handle_ == nullptr)
        return false;
    const auto lookup = reinterpret_cast<strings::EnglishLookup>(findSymbol("ResEngString"));
    if (lookup == nullptr) {
        unload();
        return false;
    }
    strings::useEnglishStrings(lookup);
    return true;
}

void CLanguageLibrary::unload()
{
    if (handle_ == nullptr)
        return;
    strings::useEnglishStrings(nullptr);
    platform::freeLibrary(handle_);
    handle_ = nullptr;
}

void* CLanguageLibrary::findSymbol(const char* name) const
{
    return handle_ != nullptr ? platform::findSymbol(handle_, name) : nullptr;
}
