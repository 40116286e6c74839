#pragma once

#include <string>

// The English language library ResEng.so while it is loaded: its string table is the current one. Freed
// (and the program's own texts made current again) when the object goes.
class CLanguageLibrary {
public:
    CLanguageLibrary() = default;
    ~CLanguageLibrary() { unload(); }
    CLanguageLibrary(const CLanguageLibrary&) = delete;
    CLanguageLibrary& operator=(const CLanguageLibrary&) = delete;

    // Loads folder + "ResEng.so" and makes its strings current. False, with the program's own texts
    // current, when the library is missing or lacks its string table.
    bool load(const std::string& folder);
    void unload();
    bool isLoaded() const { return handle_ != nullptr; }
    // An entry point of the library, or null.
    void* findSymbol(const char* name) const;

private:
    void* handle_ = nullptr;
};
