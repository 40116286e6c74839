#include "platform/Profile.h"

#include "platform/FileReplace.h"
#include "platform/Hooks.h"
#include "platform/IniDocument.h"
#include "platform/PathMapping.h"
#include "platform/TextEncoding.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// A settings file as read: a missing file is an empty one; an unreadable one is not usable.
struct LoadedFile {
    bool usable = false;
    bool byteOrderMark = false;
    std::string text; // UTF-8
};

bool readWholeFile(int fd, std::string& bytes)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    bytes.resize(static_cast<size_t>(status.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            break;
        done += static_cast<size_t>(count);
    }
    bytes.resize(done);
    return true;
}

// Says once per path that a settings file is a FIFO, a folder or a device and is not used.
void reportNotRegular(const std::string& path)
{
    static std::mutex guard;
    static std::set<std::string> reported;
    {
        const std::lock_guard<std::mutex> lock(guard);
        if (!reported.insert(path).second)
            return;
    }
    messageBox(path + " is not a regular file: its settings are not read and the defaults are used.", {},
               MB_ICONEXCLAMATION);
}

LoadedFile loadFile(const std::string& path)
{
    LoadedFile file;
    // Without O_NONBLOCK opening a FIFO would wait for a writer for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        file.usable = errno == ENOENT;
        if (errno == ENXIO || errno == EISDIR)
            reportNotRegular(path);
        return file;
    }
    std::string bytes;
    struct stat status {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    file.usable = regular && readWholeFile(fd, bytes);
    ::close(fd);
    if (!regular)
        reportNotRegular(path);
    if (!file.usable)
        return file;
    if (bytes.starts_with(byteOrderMark)) {
        file.byteOrderMark = true;
        bytes.erase(0, byteOrderMark.size());
    }
    if (!isValidUtf8(bytes)) {
        if (auto converted = gb18030ToUtf8(bytes)) {
            file.text = std::move(*converted);
            return file;
        }
    }
    file.text = std::move(bytes);
    return file;
}

// A NUL byte would end the line early when it is read back, so it counts as a break too.
bool hasLineBreak(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool isWritableKey(std::string_view key)
{
    return !key.empty() && !hasLineBreak(key) && key.find('=') == std::string_view::npos &&
           key.front() != '[' && key.front() != ';';
}

bool isWritableSection(std::string_view section)
{
    return !hasLineBreak(section) && section.find(']') == std::string_view::npos;
}

template <typename Edit> bool editFile(const std::string& path, Edit edit)
{
    const std::string fileSystemPath = toFileSystemPath(path);
    LoadedFile file = loadFile(fileSystemPath);
    if (!file.usable)
        return false;
    const std::string before = file.text;
    IniDocument document(std::move(file.text));
    edit(document);
    if (document.text() == before)
        return true;
    std::string bytes = file.byteOrderMark ? std::string(byteOrderMark) : std::string();
    bytes += document.text();
    return replaceFileContent(fileSystemPath, bytes);
}

int parseWindowsInt(std::string_view text)
{
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        i = 1;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        return value > static_cast<long long>(INT_MAX) ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// The value of key in section; nothing when the file, the section or the key is missing or the file cannot
// be read.
std::optional<std::string> readProfileValue(std::string_view section, std::string_view key,
                                            const std::string& path)
{
    return IniDocument(loadFile(toFileSystemPath(path)).text).value(section, key);
}

} // namespace

std::string getProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                             const std::string& path)
{
    if (auto value = readProfileValue(section, key, path))
        return std::move(*value);
    const size_t end = defaultValue.find_last_not_of(' ');
    return std::string(defaultValue.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

int getProfileInt(std::string_view section, std::string_view key, int defaultValue, const std::string& path)
{
    const auto value = readProfileValue(section, key, path);
    if (!value || value->empty())
        return defaultValue;
    return parseWindowsInt(*value);
}

std::vector<std::string> getProfileKeyNames(std::string_view section, const std::string& path)
{
    return IniDocument(loadFile(toFileSystemPath(path)).text).keyNames(section);
}

bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path)
{
    if (!isWritableSection(section) || !isWritableKey(key) || hasLineBreak(value))
        return false;
    return editFile(path, [&](IniDocument& document) { document.set(section, key, value); });
}

bool deleteProfileKey(std::string_view section, std::string_view key, const std::string& path)
{
    return editFile(path, [&](IniDocument& document) { document.removeKey(section, key); });
}

bool deleteProfileSection(std::string_view section, const std::string& path)
{
    return editFile(path, [&](IniDocument& document) { document.removeSection(section); });
}

} // namespace platform
