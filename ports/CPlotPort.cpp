#include "ports/CPlotPort.h"

#include "platform/Hooks.h"
#include "platform/PathMapping.h"
#include "ports/PortConnection.h"
#include "ports/PortDevices.h"
#include "ports/PortKind.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

// The pause after a failed write call, so that a device that has gone away (EIO, ENODEV, ENXIO) is
// retried at a calm pace instead of spinning the processor.
constexpr auto kFailedWritePause = std::chrono::milliseconds(5);

void pauseAfter(long written)
{
    if (written < 0)
        std::this_thread::sleep_for(kFailedWritePause);
}

} // namespace

CPlotPort::CPlotPort() : CPlotPort(defaultPortIniPath()) {}

CPlotPort::CPlotPort(const std::string& settingsPath)
{
    settingsFile_.setPath(settingsPath.c_str());
    LoadSettings();
}

CPlotPort::~CPlotPort() { Close(); }

void CPlotPort::SelectPort(const char* name)
{
    std::memset(portName_, 0, sizeof portName_);
    if (name != nullptr)
        std::strncpy(portName_, name, sizeof portName_ - 1);
    LoadSettings();
}

void CPlotPort::LoadSettings() { settings.load(settingsFile_); }

void CPlotPort::SaveSettings() { settings.save(settingsFile_); }

std::int32_t CPlotPort::Open(std::int32_t outMethod, void* messageWindow, std::int32_t* stopFlag)
{
    if (open_)
        Close();
    messageWindow_ = messageWindow;
    stopFlag_ = stopFlag;
    if (stopFlag_ != nullptr)
        *stopFlag_ = 0;
    outMethod_ = outMethod;
    const int portNumber = classifyPortName(portName_);
    if (portNumber <= 0)
        outMethod_ = 1;
    // A file or a device named by its path has no output method of its own: it takes blocks, and one
    // byte per call would only cost time. The line keeps no error state that blocks later writes, so
    // nothing needs clearing between attempts, and method 3 differs from method 2 only in its message
    // steps.
    byteWrites_ = portNumber > 0 && (outMethod_ == 0 || outMethod_ == 1);
    stepAfterWrite_ = portNumber > 0 && outMethod_ != 3;
    pending_.clear();
    openConnection(portNumber);
    open_ = connection_ != nullptr;
    if (open_ && !byteWrites_)
        pending_.reserve(connection_->blockSize());
    return open_ ? 1 : 0;
}

void CPlotPort::openConnection(int portNumber)
{
    openError_.clear();
    OpenResult result;
    if (portNumber > 0) {
        const PortDevice device = resolvePortDevice(portNumber, settingsFile_);
        if (device.path.empty()) {
            openError_ = std::string(portName_) + ": no device stands behind this port name. Connect one, "
                                                  "or name it in the [PortMap] section of Port.INI.";
            return;
        }
        result =
            isSerialPort(portNumber) ? openSerialLine(device.path, settings) : openPrinterPort(device.path);
    } else if (portNumber == kFilePort) {
        std::string path;
        if (!chooseOutputFile(path)) {
            openError_ = "No output file was chosen.";
            return;
        }
        result = createOutputFile(path);
    } else {
        result = createOutputFile(platform::toFileSystemPath(portName_));
    }
    connection_ = std::move(result.connection);
    openError_ = std::move(result.error);
}

// Asks for the output file of the File port, starting in the folder of the last one, and remembers the
// chosen folder in Port.INI.
bool CPlotPort::chooseOutputFile(std::string& path)
{
    const std::optional<std::string> chosen =
        platform::askSaveFileName({"*.PLT", "*.PLT", "PLT", settings.FilePath});
    if (!chosen || chosen->empty())
        return false;
    path = *chosen;
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
    std::memset(settings.FilePath, 0, sizeof settings.FilePath);
    // A folder too long for the field is not remembered: a cut-off folder would name another place.
    if (folder.size() < sizeof settings.FilePath)
        std::memcpy(settings.FilePath, folder.data(), folder.size());
    SaveSettings();
    return true;
}

void CPlotPort::Close()
{
    if (open_ && connection_ != nullptr && !pending_.empty())
        writeBlocks(pending_.data(), pending_.size());
    pending_.clear();
    open_ = false;
    connection_.reset();
    if (stopFlag_ != nullptr) {
        *stopFlag_ = 1;
        stopFlag_ = nullptr;
    }
    messageWindow_ = nullptr;
}

void CPlotPort::messageStep() const
{
    if (messageWindow_ != nullptr)
        platform::messageStep();
}

std::int32_t CPlotPort::Write(const char* text)
{
    if (!open_)
        return 1;
    if (stopRaised() || connection_ == nullptr) {
        pending_.clear();
        return 0;
    }
    const std::size_t size = text != nullptr ? std::strlen(text) : 0;
    if (size == 0)
        return 1;
    if (byteWrites_)
        return writeBytes(text, size);
    pending_.append(text, size);
    if (pending_.size() < connection_->blockSize())
        return 1;
    return sendWholeBlocks();
}

// Sends the whole blocks waiting and keeps the rest, less than a block, for the next strings. A stop
// drops everything not yet sent.
std::int32_t CPlotPort::sendWholeBlocks()
{
    const std::size_t whole = pending_.size() - pending_.size() % connection_->blockSize();
    if (writeBlocks(pending_.data(), whole) == 0) {
        pending_.clear();
        return 0;
    }
    pending_.erase(0, whole);
    return 1;
}

// One byte per write call, the message step before each attempt. The stop command runs inside the
// message step, so the flag is checked right after it: no byte leaves once the output is stopped.
std::int32_t CPlotPort::writeBytes(const char* text, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        for (;;) {
            messageStep();
            if (stopRaised())
                return 0;
            const long written = connection_->write(text + i, 1);
            pauseAfter(written);
            if (written > 0)
                break;
        }
    }
    return 1;
}

// At most one block of the connection per write call; a partial write continues with the rest. The
// message step runs before each call and, unless the port is told otherwise, after it.
std::int32_t CPlotPort::writeBlocks(const char* text, std::size_t size)
{
    const std::size_t block = connection_->blockSize();
    std::size_t sent = 0;
    while (sent < size) {
        if (stopRaised())
            return 0;
        messageStep();
        if (stopRaised())
            return 0;
        const long written = connection_->write(text + sent, std::min(size - sent, block));
        if (stepAfterWrite_)
            messageStep();
        pauseAfter(written);
        if (written > 0)
            sent += static_cast<std::size_t>(written);
    }
    return 1;
}
