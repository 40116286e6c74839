#pragma once

#include <cstddef>
#include <memory>
#include <string>

struct PortSettings;

// One open connection of a port: a serial line, a parallel or USB printer port, any other device, or a
// regular file. Writes never block for long, so that the writer can keep the window alive between them.
class PortConnection {
public:
    PortConnection(int fd, bool isFile, bool watchDsr);
    ~PortConnection();
    PortConnection(const PortConnection&) = delete;
    PortConnection& operator=(const PortConnection&) = delete;

    // Offers the bytes. Returns how many were taken, 0 when a device took none within its write time-out
    // (about 1 ms per byte plus 1 ms, at most some tens of milliseconds), or -1 when the write failed.
    long write(const char* data, std::size_t size);
    // The most bytes one write should offer: 64 KiB for a regular file; for a serial line what it sends
    // in about 50 ms at its rate; for any other device what a slow printer port takes in about 50 ms.
    // So a device never holds a write long enough to delay a pause or a stop.
    std::size_t blockSize() const { return blockSize_; }
    // Why the connection can take no more data, after a write failed for good: the device hung up, the
    // reader of a pipe went away, or the file system is full. Empty while a retry may still succeed.
    const std::string& brokenReason() const { return brokenReason_; }

private:
    // One non-blocking write call: the bytes taken, 0 when the line is full, -1 on failure.
    long writeNow(const char* data, std::size_t size);
    long failed(int error);

    int fd_;
    bool isFile_;
    bool watchDsr_;
    std::size_t blockSize_;
    std::string brokenReason_;
};

struct OpenResult {
    std::unique_ptr<PortConnection> connection; // null when the open failed
    std::string error;                          // why it failed, for the user
};

// Opens a serial line for writing only, exclusively, and applies the settings to it.
OpenResult openSerialLine(const std::string& path, const PortSettings& settings);
// Opens a parallel or USB printer port for writing only, exclusively.
OpenResult openPrinterPort(const std::string& path);
// Creates or truncates a file for writing only, exclusively; with append the file keeps what it holds and
// the writes go after it. A path that names a device opens the device.
OpenResult createOutputFile(const std::string& path, bool append);
