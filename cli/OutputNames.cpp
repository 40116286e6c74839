#include "cli/OutputNames.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

namespace outputnames {

namespace {

constexpr std::size_t NAME_MAX_BYTES = 255;
// What a name adds to the stem at most: the dot of the hidden file, "-" and a copy's number, "." and a
// pass's number, ".out.part" or ".out.held".
constexpr std::size_t ADDED_BYTES = 1 + 1 + 10 + 1 + 10 + 9;
constexpr std::size_t LONGEST_STEM = NAME_MAX_BYTES - ADDED_BYTES;
// Beyond this many names taken the folder is not searched further.
constexpr int MOST_CANDIDATES = 100000;

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Moves without replacing: the kernel's own no-replace rename, else a hard link that fails on a name
// taken, else (a file system with neither) a rename after a look.
bool moveWithoutReplacing(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP)
        return false;
    std::error_code error;
    if (fs::exists(fs::symlink_status(to, error))) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

std::string stemOf(const std::string& plotFileSystemPath)
{
    std::string stem = fs::path(plotFileSystemPath).stem().string();
    if (stem.size() > LONGEST_STEM) {
        std::size_t end = LONGEST_STEM;
        while (end > 0 && isContinuationByte(stem[end]))
            --end;
        stem.resize(end);
    }
    return stem.empty() ? "plot" : stem;
}

namespace {

// The first free name after base: moved to it under its own name, or, with held given, to the hidden name
// that holds it while the visible one stays free.
std::optional<std::string> moveToFirstFree(const std::string& temporary, const std::string& folder,
                                           const std::string& base, const std::string& suffix,
                                           const std::string& held, std::string& chosenBase)
{
    for (int number = 1; number <= MOST_CANDIDATES; ++number) {
        const std::string candidate = number == 1 ? base : base + "-" + std::to_string(number);
        const fs::path visible = fs::path(folder) / (candidate + suffix);
        std::error_code error;
        if (!held.empty() && fs::exists(fs::symlink_status(visible, error)))
            continue;
        std::string hiddenName = ".";
        hiddenName.append(candidate).append(suffix).append(held);
        const std::string path = held.empty() ? visible.string() : (fs::path(folder) / hiddenName).string();
        if (moveWithoutReplacing(temporary, path)) {
            chosenBase = candidate;
            return path;
        }
        if (errno != EEXIST)
            return std::nullopt;
    }
    errno = EEXIST;
    return std::nullopt;
}

} // namespace

std::optional<std::string> moveToFreeName(const std::string& temporary, const std::string& folder,
                                          const std::string& base, const std::string& suffix,
                                          std::string& chosenBase)
{
    return moveToFirstFree(temporary, folder, base, suffix, {}, chosenBase);
}

std::optional<std::string> holdUnderFreeName(const std::string& temporary, const std::string& folder,
                                             const std::string& base, const std::string& suffix,
                                             const std::string& held, std::string& chosenBase)
{
    return moveToFirstFree(temporary, folder, base, suffix, held, chosenBase);
}

} // namespace outputnames
