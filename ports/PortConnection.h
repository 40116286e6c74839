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
    // Reads what the device has sent, waiting at most waitMs for it: the bytes read, 0 when none came, -1
    // when the device hung up. Only a connection opened to hear the device reads anything.
    long read(char* into, std::size_t size, int waitMs);
    // What the line carries in bytes per second; 0 for a device with no rate of its own.
    unsigned bytesPerSecond() const;
    // Why the connection can take no more data, after a write failed for good: the device hung up, the
    // reader of a pipe went away, or the file system is full. Empty while a retry may still succeed.
    const std::string& brokenReason() const { return brokenReason_; }
    // Ends the output of a regular file: its data is written through to the disk and the file closed, as
    // a full or failing disk may say only then. False, with brokenReason(), when either fails. A device
    // has nothing to end here.
    bool finish();

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

// Opens a serial line for writing only, exclusively, and applies the settings to it. With hearDevice it is
// opened for reading as well, for a handshake that needs the device's replies.
OpenResult openSerialLine(const std::string& path, const PortSettings& settings, bool hearDevice = false);
// Opens a parallel or USB printer port for writing only, exclusively. With hearDevice it is opened for
// reading as well where the device allows it; a port that cannot be read is opened for writing only.
OpenResult openPrinterPort(const std::string& path, bool hearDevice = false);
// Creates or truncates a file for writing only, exclusively; with append the file keeps what it holds and
// the writes go after it. A path that names a device opens the device.
OpenResult createOutputFile(const std::string& path, bool append);
