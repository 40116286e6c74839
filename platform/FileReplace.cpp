#include "platform/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Follows symbolic links so that the link itself stays in place.
std::string resolvedTarget(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
}

} // namespace

bool replaceFileContent(const std::string& path, std::string_view bytes)
{
    return replaceFileContentIf(path, bytes, [] { return true; }) == ReplaceResult::Replaced;
}

ReplaceResult replaceFileContentIf(const std::string& path, std::string_view bytes,
                                   const std::function<bool()>& stillCurrent)
{
    static std::atomic<unsigned> counter{0};
    const std::string target = resolvedTarget(path);
    const std::filesystem::path targetPath(target);
    std::string temporaryName = ".";
    temporaryName.append(targetPath.filename().string());
    temporaryName.append(".").append(std::to_string(::getpid()));
    temporaryName.append(".").append(std::to_string(counter++)).append(".tmp");
    const std::string temporary = (targetPath.parent_path() / temporaryName).string();

    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return ReplaceResult::Failed;
    struct stat old {};
    bool ok = true;
    if (::stat(target.c_str(), &old) == 0)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    const bool changed = ok && !stillCurrent();
    ok = ok && !changed && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    if (changed)
        return ReplaceResult::Changed;
    return ok ? ReplaceResult::Replaced : ReplaceResult::Failed;
}

} // namespace platform
