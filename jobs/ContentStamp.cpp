#include "jobs/ContentStamp.h"

#include <fcntl.h>
#include <nettle/sha2.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

namespace {

ContentStamp identityOf(const struct stat& status)
{
    ContentStamp stamp;
    stamp.inode = status.st_ino;
    stamp.size = status.st_size;
    stamp.modifiedNs = std::int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec;
    return stamp;
}

std::string hex(const std::uint8_t* bytes, std::size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

// Hashes the open file; the stamp's identity is the file's before reading, and nothing when the file
// changed while it was read.
ContentStamp hashOpenFile(int fd)
{
    struct stat before {};
    if (::fstat(fd, &before) != 0)
        return {};
    ContentStamp stamp = identityOf(before);
    sha256_ctx context;
    sha256_init(&context);
    std::array<std::uint8_t, 65536> buffer;
    for (;;) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count < 0)
            return {};
        if (count == 0)
            break;
        sha256_update(&context, static_cast<std::size_t>(count), buffer.data());
    }
    struct stat after {};
    if (::fstat(fd, &after) != 0 || !identityOf(after).sameFile(stamp))
        return {};
    std::array<std::uint8_t, SHA256_DIGEST_SIZE> digest{};
    sha256_digest(&context, digest.size(), digest.data());
    stamp.sha256 = hex(digest.data(), digest.size());
    return stamp;
}

} // namespace

ContentStamp fileIdentity(const std::string& fileSystemPath)
{
    struct stat status {};
    if (::stat(fileSystemPath.c_str(), &status) != 0)
        return {};
    return identityOf(status);
}

ContentStamp stampFile(const std::string& fileSystemPath)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(fileSystemPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return {};
        ContentStamp stamp = hashOpenFile(fd);
        ::close(fd);
        if (stamp.valid())
            return stamp;
    }
    return fileIdentity(fileSystemPath);
}
