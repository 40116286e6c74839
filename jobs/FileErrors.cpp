#include "jobs/FileErrors.h"

#include "platform/Hooks.h"
#include "platform/PathMapping.h"
#include "res/strings/StringTable.h"

#include <cerrno>
#include <unistd.h>

namespace {

// The kinds of file failure, in the order of their texts.
enum FileErrorKind {
    GENERIC_ERROR = 61857,
    FILE_NOT_FOUND,
    BAD_PATH,
    TOO_MANY_OPEN_FILES,
    ACCESS_DENIED,
    INVALID_FILE,
    REMOVE_CURRENT_DIR,
    DIRECTORY_FULL,
    BAD_SEEK,
    HARD_IO,
    SHARING_VIOLATION,
    LOCK_VIOLATION,
    DISK_FULL,
    END_OF_FILE,
};

} // namespace

int fileErrorStringId(int error)
{
    switch (error) {
    case ENOENT:
        return FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return BAD_PATH;
    case EMFILE:
    case ENFILE:
        return TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ACCESS_DENIED;
    case EBADF:
        return INVALID_FILE;
    case EBUSY:
    case ETXTBSY:
        return SHARING_VIOLATION;
    case ENOLCK:
    case EDEADLK:
        return LOCK_VIOLATION;
    case ESPIPE:
        return BAD_SEEK;
    case EIO:
        return HARD_IO;
    case ENOSPC:
    case EDQUOT:
        return DISK_FULL;
    case EMLINK:
        return DIRECTORY_FULL;
    default:
        return GENERIC_ERROR;
    }
}

std::string fileErrorText(int error, const std::string& path)
{
    std::string text = strings::localString(fileErrorStringId(error));
    for (std::size_t at = text.find("%1"); at != std::string::npos; at = text.find("%1", at + path.size()))
        text.replace(at, 2, path);
    return text;
}

void reportFileError(int error, const std::string& path)
{
    platform::messageBox(fileErrorText(error, path), {}, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

bool deleteJobFile(const std::string& path)
{
    // A file that is gone already is as good as deleted: its row may go.
    if (::unlink(platform::toFileSystemPath(path).c_str()) == 0 || errno == ENOENT)
        return true;
    reportFileError(errno, path);
    return false;
}
