#pragma once

#include <string>

// Loadable modules. A name "X.dll" (any case of the extension) is the file "X.so"; a bare name is looked up
// in the program folder first, then as the system looks it up.
namespace platform {

using LibraryHandle = void*;

// Null when the library cannot be loaded; lastLibraryError() then says why.
LibraryHandle loadLibrary(const std::string& name);
// Null when the library lacks the entry point.
void* findSymbol(LibraryHandle library, const char* name);
void freeLibrary(LibraryHandle library);
// The system's text for the last failure of loadLibrary or findSymbol.
std::string lastLibraryError();

} // namespace platform
