#include "platform/Profile.h"

#include "platform/FileReplace.h"
#include "platform/Hooks.h"
#include "platform/IniDocument.h"
#include "platform/PathMapping.h"
#include "platform/SettingsFileRead.h"
#include "platform/TextEncoding.h"

#include <climits>
#include <mutex>
#include <optional>
#include <set>

namespace platform {
namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// A settings file as read: a missing file is an empty one; an unreadable one is not usable.
struct LoadedFile {
    bool usable = false;
    bool byteOrderMark = false;
    std::string text; // UTF-8
};

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

LoadedFile loadFile(const std::string& path, SettingsFileStamp* stamp = nullptr)
{
    LoadedFile file;
    SettingsFileRead read = readSettingsFile(path);
    if (stamp != nullptr)
        *stamp = read.stamp;
    file.usable =
        read.status == SettingsFileRead::Status::Read || read.status == SettingsFileRead::Status::Missing;
    if (read.status == SettingsFileRead::Status::NotRegular)
        reportNotRegular(path);
    if (read.status != SettingsFileRead::Status::Read)
        return file;
    std::string bytes = std::move(read.bytes);
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

// Another program (an editor, the window) may write the file between our read and our write. The edit is
// made on the file as read; when the file is no longer that file just before ours replaces it, it is read
// again and the edit made anew on what it holds now, so that only the one key changes and nothing the
// other program wrote is lost.
template <typename Edit> bool editFile(const std::string& path, Edit edit)
{
    constexpr int MOST_EDITS = 5;
    const std::string fileSystemPath = toFileSystemPath(path);
    for (int attempt = 1;; ++attempt) {
        SettingsFileStamp stamp;
        LoadedFile file = loadFile(fileSystemPath, &stamp);
        if (!file.usable)
            return false;
        const std::string before = file.text;
        IniDocument document(std::move(file.text));
        edit(document);
        if (document.text() == before)
            return true;
        std::string bytes = file.byteOrderMark ? std::string(byteOrderMark) : std::string();
        bytes += document.text();
        const auto unchanged = [&] {
            return attempt == MOST_EDITS || settingsFileStamp(fileSystemPath) == stamp;
        };
        const ReplaceResult result = replaceFileContentIf(fileSystemPath, bytes, unchanged);
        if (result != ReplaceResult::Changed)
            return result == ReplaceResult::Replaced;
    }
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
