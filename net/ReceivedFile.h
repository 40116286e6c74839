#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A file name for a job received over the network, from the name its client gave it: path separators,
// control bytes and leading dots are dropped, and the name is cut short enough for a job's path. A name
// left empty becomes "network-job".
std::string jobFileName(std::string_view jobName);

// One job arriving into the receive folder. The data goes into a hidden folder inside it (a folder the
// scans pass over) and the file is moved into the receive folder only when it is whole, so the intake
// never sees part of a job. A file not delivered is removed.
class ReceivedFile {
public:
    // folder: the receive folder, a file-system path.
    explicit ReceivedFile(const std::string& folder);
    ~ReceivedFile();
    ReceivedFile(const ReceivedFile&) = delete;
    ReceivedFile& operator=(const ReceivedFile&) = delete;

    // False when the file could not be made or a write failed.
    bool good() const { return fd_ >= 0; }
    bool write(const void* data, std::size_t size);
    // Moves the file into the receive folder under jobFileName(jobName), with a number added when that
    // name is taken. Returns the new path, or an empty string when the file could not be finished.
    std::string deliver(std::string_view jobName);

    // The hidden folder's name inside the receive folder.
    static constexpr const char* TEMPORARY_FOLDER = ".receiving";

private:
    void discard();

    std::string folder_;
    std::string temporaryPath_;
    int fd_ = -1;
};
