#pragma once

#include "plotdata/CDllLoader.h"

#include <cstdint>
#include <string>

// The import filter's name; the platform layer finds it as Import.so in the program folder.
inline constexpr const char* IMPORT_LIBRARY = "Import.dll";
// The scale the filter is asked for: millimetres per plotter unit.
inline constexpr float IMPORT_SCALE = 0.025f;

// Reads a plot file into a plot block allocated with malloc, which the caller frees; null on any failure.
using NFilterReadFunction = void* (*)(const char* path, float scale, std::uint32_t reserved);

// The import filter library and its entry points, each null when the library does not export it. Only
// NFilterRead is ever called; the others are looked up because filters export them.
class CImportFilter {
public:
    CImportFilter();

    // Loads the library (the given one, or the one named so far) and looks up its entry points. Null when
    // it cannot be loaded; a missing entry point is left null without a message.
    platform::LibraryHandle bind(const std::string& name = {});

    const CDllLoader& library() const { return library_; }

    void* GetFilters = nullptr;
    void* GetVersion = nullptr;
    void* FilterRead = nullptr;
    NFilterReadFunction NFilterRead = nullptr;
    void* CanUse = nullptr;

private:
    CDllLoader library_;
};
