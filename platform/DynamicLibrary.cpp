#include "platform/DynamicLibrary.h"

#include "platform/PathMapping.h"
#include "platform/ProgramFolder.h"

#include <dlfcn.h>
#include <filesystem>

namespace platform {
namespace {

std::string& lastError()
{
    // One per thread, as dlerror's own text is: plots may be loaded in more than one thread.
    static thread_local std::string error;
    return error;
}

void takeSystemError()
{
    const char* error = ::dlerror();
    lastError() = error ? error : "unknown error";
}

// "X.dll" in any case is the file "X.so".
std::string sharedObjectName(std::string name)
{
    if (name.size() >= 4) {
        std::string extension = name.substr(name.size() - 4);
        for (char& c : extension)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (extension == ".dll")
            name.replace(name.size() - 4, 4, ".so");
    }
    return name;
}

} // namespace

LibraryHandle loadLibrary(const std::string& name)
{
    std::string file = sharedObjectName(toFileSystemPath(name));
    if (file.find('/') == std::string::npos) {
        const std::string inProgramFolder = programFolder() + file;
        std::error_code ignored;
        if (std::filesystem::exists(inProgramFolder, ignored))
            file = inProgramFolder;
    }
    LibraryHandle handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        takeSystemError();
    return handle;
}

void* findSymbol(LibraryHandle library, const char* name)
{
    if (!library || !name) {
        lastError() = "no library or no entry point name";
        return nullptr;
    }
    ::dlerror();
    void* symbol = ::dlsym(library, name);
    if (!symbol)
        takeSystemError();
    return symbol;
}

void freeLibrary(LibraryHandle library)
{
    if (library)
        ::dlclose(library);
}

std::string lastLibraryError() { return lastError(); }

} // namespace platform
