#include "plotdata/CDllLoader.h"

#include "platform/Hooks.h"

#include <utility>

namespace {

bool isUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The first bytes of text, at most max of them, never ending inside a UTF-8 sequence.
std::string keepFront(const std::string& text, std::size_t max)
{
    if (text.size() <= max)
        return text;
    std::size_t end = max;
    while (end > 0 && isUtf8Continuation(text[end]))
        --end;
    return text.substr(0, end);
}

// The last bytes of text behind "...", at most max bytes in all, never starting inside a UTF-8 sequence.
// The end of a path names the library, so that is the part kept.
std::string keepBack(const std::string& text, std::size_t max)
{
    static const std::string ellipsis = "...";
    if (text.size() <= max)
        return text;
    if (max <= ellipsis.size())
        return ellipsis.substr(0, max);
    std::size_t start = text.size() - (max - ellipsis.size());
    while (start < text.size() && isUtf8Continuation(text[start]))
        ++start;
    return ellipsis + text.substr(start);
}

} // namespace

std::string formatLoadFailure(const std::string& path, const std::string& reason)
{
    static const std::string before = " [";
    static const std::string after = "] 打开失败!\n";
    const std::string shownReason = keepFront(reason, LOAD_FAILURE_REASON_MAX);
    const std::size_t room =
        LOAD_FAILURE_MESSAGE_SIZE - 1 - before.size() - after.size() - shownReason.size();
    return before + keepBack(path, room) + after + shownReason;
}

void reportLoadFailure(const std::string& path, const std::string& reason)
{
    // An empty caption is the application's title.
    platform::messageBox(formatLoadFailure(path, reason), {}, platform::MB_OK);
}

CDllLoader::CDllLoader(std::string name) : path_(std::move(name)) {}

CDllLoader::~CDllLoader()
{
    if (handle_ != nullptr)
        platform::freeLibrary(handle_);
}

platform::LibraryHandle CDllLoader::load(const std::string& name)
{
    if (handle_ != nullptr) {
        platform::freeLibrary(handle_);
        handle_ = nullptr;
    }
    if (!name.empty())
        path_ = name;
    handle_ = platform::loadLibrary(path_);
    if (handle_ == nullptr)
        reportLoadFailure(path_, platform::lastLibraryError());
    return handle_;
}

void* CDllLoader::resolve(const char* name) const
{
    return handle_ != nullptr ? platform::findSymbol(handle_, name) : nullptr;
}
