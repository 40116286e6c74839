#include "platform/Profile.h"

#include "platform/FileReplace.h"
#include "platform/IniDocument.h"
#include "platform/PathMapping.h"
#include "platform/TextEncoding.h"

#include <cerrno>
#include <climits>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace platform {
namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// A settings file as read: a missing file is an empty one; an unreadable one is not usable.
struct LoadedFile {
    bool usable = false;
    bool byteOrderMark = false;
    std::string text; // UTF-8
};

LoadedFile loadFile(const std::string& path)
{
    LoadedFile file;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        file.usable = errno == ENOENT;
        return file;
    }
    if (!S_ISREG(status.st_mode))
        return file;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return file;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return file;
    file.usable = true;
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
    return !key.empty() && !hasLineBreak(key) && key.find('=') == std::string_view::npos && key.front() != '[' &&
           key.front() != ';';
}

bool isWritableSection(std::string_view section)
{
    return !hasLineBreak(section) && section.find(']') == std::string_view::npos;
}

template <typename Edit>
bool editFile(const std::string& path, Edit edit)
{
    const std::string fileSystemPath = toFileSystemPath(path);
    const LoadedFile file = loadFile(fileSystemPath);
    if (!file.usable)
        return false;
    IniDocument document(file.text);
    const std::string before = document.text();
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

} // namespace

std::optional<std::string> readProfileValue(std::string_view section, std::string_view key,
                                            const std::string& path)
{
    const LoadedFile file = loadFile(toFileSystemPath(path));
    return IniDocument(file.text).value(section, key);
}

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
    const LoadedFile file = loadFile(toFileSystemPath(path));
    return IniDocument(file.text).keyNames(section);
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
