#include "net/ReceivedFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

// Leaves room in a job's path for the folder and a number added to make the name unique.
constexpr std::size_t MAX_NAME = 96;

std::string numbered(const std::string& name, int number)
{
    if (number == 1)
        return name;
    const std::size_t dot = name.find_last_of('.');
    // Built by appending: GCC 12 at -O3 takes "-" + to_string() for an overlapping copy (-Wrestrict).
    std::string suffix = "-";
    suffix += std::to_string(number);
    if (dot == std::string::npos || dot == 0)
        return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

} // namespace

std::string jobFileName(std::string_view jobName)
{
    // Only the last part of a path names the job.
    const std::size_t slash = jobName.find_last_of("/\\");
    if (slash != std::string_view::npos)
        jobName.remove_prefix(slash + 1);
    std::string name;
    for (const char c : jobName) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || (name.empty() && (c == '.' || c == ' ')))
            continue;
        name += c;
    }
    if (name.size() > MAX_NAME) {
        // Keep the extension the name ends with, when it has a short one.
        const std::size_t dot = name.find_last_of('.');
        const std::string extension =
            dot != std::string::npos && name.size() - dot <= 8 ? name.substr(dot) : "";
        // A character of several bytes (UTF-8) is not cut in two.
        std::size_t cut = MAX_NAME - extension.size();
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xc0) == 0x80)
            --cut;
        name = name.substr(0, cut) + extension;
    }
    return name.empty() ? "network-job" : name;
}

ReceivedFile::ReceivedFile(const std::string& folder) : folder_(folder)
{
    const std::string hidden = folder + "/" + TEMPORARY_FOLDER;
    ::mkdir(folder.c_str(), 0755);
    ::mkdir(hidden.c_str(), 0700);
    std::string pattern = hidden + "/job-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ >= 0)
        temporaryPath_ = pattern;
}

ReceivedFile::~ReceivedFile() { discard(); }

bool ReceivedFile::write(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (fd_ >= 0 && size > 0) {
        const ssize_t written = ::write(fd_, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            discard();
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return fd_ >= 0;
}

std::string ReceivedFile::deliver(std::string_view jobName)
{
    if (fd_ < 0)
        return "";
    const bool closed = ::fchmod(fd_, 0644) == 0 && ::close(fd_) == 0;
    fd_ = -1;
    if (!closed) {
        discard();
        return "";
    }
    const std::string name = jobFileName(jobName);
    for (int number = 1; number < 10000; ++number) {
        std::string target = folder_ + "/" + numbered(name, number);
        // A name taken by another file is never replaced.
        if (::renameat2(AT_FDCWD, temporaryPath_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            temporaryPath_.clear();
            return target;
        }
        if (errno != EEXIST)
            break;
    }
    discard();
    return "";
}

void ReceivedFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporaryPath_.empty())
        ::unlink(temporaryPath_.c_str());
    temporaryPath_.clear();
}
