#pragma once

#include "platform/DynamicLibrary.h"

#include <cstddef>
#include <string>

// One loadable library: its file name and, while loaded, its handle. Loading again first releases the
// library held; the destructor releases it too.
class CDllLoader {
public:
    explicit CDllLoader(std::string name = {});
    ~CDllLoader();
    CDllLoader(const CDllLoader&) = delete;
    CDllLoader& operator=(const CDllLoader&) = delete;

    // Loads the library named by the path, or by name when one is given (it then replaces the path).
    // On failure the user is shown why, and the result is null.
    platform::LibraryHandle load(const std::string& name = {});
    // Null when nothing is loaded or the library lacks the entry point.
    void* resolve(const char* name) const;

    platform::LibraryHandle handle() const { return handle_; }
    const std::string& path() const { return path_; }

private:
    platform::LibraryHandle handle_ = nullptr;
    std::string path_;
};

// The size of the buffer the failure message is formatted into, its terminating NUL included.
constexpr std::size_t LOAD_FAILURE_MESSAGE_SIZE = 200;
// The most of the system's text that the failure message shows.
constexpr std::size_t LOAD_FAILURE_REASON_MAX = 99;

// The message " [path] 打开失败!\nreason" with the reason cut to LOAD_FAILURE_REASON_MAX bytes and the
// path cut from its front, so that the whole fits LOAD_FAILURE_MESSAGE_SIZE with its NUL.
std::string formatLoadFailure(const std::string& path, const std::string& reason);
// Tells the user that a library could not be used, in a message box with an OK button.
void reportLoadFailure(const std::string& path, const std::string& reason);
