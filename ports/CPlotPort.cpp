#include "ports/CPlotPort.h"

#include "platform/Hooks.h"
#include "platform/PathMapping.h"
#include "ports/PortConnection.h"
#include "ports/PortDevices.h"
#include "ports/PortKind.h"
#include "ports/PortLine.h"
#include "res/strings/Placeholders.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

namespace {

// The pause after a failed write call, so that a device that has gone away (ENODEV, ENXIO) is retried
// at a calm pace instead of spinning the processor.
constexpr auto kFailedWritePause = std::chrono::milliseconds(5);
// How long a device may take nothing before the operator is told.
constexpr auto kStallNoticeAfter = std::chrono::seconds(5);

namespace fs = std::filesystem;

// The path with its links and dots resolved, as far as it exists.
fs::path canonicalPlace(const std::string& path)
{
    std::error_code error;
    const fs::path place = fs::weakly_canonical(fs::absolute(path, error), error);
    return error ? fs::path(path).lexically_normal() : place;
}

// The same file or folder: the same device and inode when both exist, else the same resolved path.
bool samePlace(const fs::path& a, const fs::path& b)
{
    struct stat first {};
    struct stat second {};
    if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    return a == b;
}

} // namespace

OutputMethod outputMethodOf(int stored)
{
    switch (stored) {
    case 0:
    case 1:
        return OutputMethod::ByteByByte;
    case 3:
        return OutputMethod::BlocksWithoutStepAfterWrite;
    default:
        return OutputMethod::Blocks;
    }
}

CPlotPort::CPlotPort() : CPlotPort(defaultPortIniPath()) {}

CPlotPort::CPlotPort(const std::string& settingsPath)
{
    settingsFile_.setPath(settingsPath.c_str());
    LoadSettings();
}

CPlotPort::~CPlotPort() { Close(); }

void CPlotPort::SelectPort(const char* name)
{
    portName_ = name != nullptr ? name : "";
    bytesSent_ = 0;
    LoadSettings();
}

void CPlotPort::LoadSettings() { settings.load(settingsFile_); }

void CPlotPort::SaveSettings() { settings.save(settingsFile_); }

PortOpenResult CPlotPort::Open(OutputMethod method, MessageSteps steps, std::int32_t* stopFlag)
{
    if (open_)
        Close();
    messageSteps_ = steps;
    stopFlag_ = stopFlag;
    if (stopFlag_ != nullptr)
        *stopFlag_ = 0;
    writeError_.clear();
    lastProgress_ = std::chrono::steady_clock::now();
    stallNoticed_ = false;
    patience_ = std::chrono::milliseconds(0);
    interruptedRest_.clear();
    stoppedWhileDrawing_ = false;
    bufferQuery_.reset();
    line_.reset();
    const int portNumber = classifyPortName(portName_.c_str());
    hearDevice_ = portNumber > 0 && handshake_ == DeviceHandshake::BufferQuery;
    // A file or a device named by its path has no output method of its own: it takes blocks, and one
    // byte per call would only cost time. The line keeps no error state that blocks later writes, so
    // nothing needs clearing between attempts, and the methods of blocks differ only in their message
    // steps.
    byteWrites_ = portNumber > 0 && method == OutputMethod::ByteByByte;
    stepAfterWrite_ = portNumber > 0 && method != OutputMethod::BlocksWithoutStepAfterWrite;
    pending_.clear();
    stringEnds_.assign(1, 0);
    openConnection(portNumber);
    open_ = connection_ != nullptr && (!hearDevice_ || startHandshake());
    if (open_ && !byteWrites_)
        pending_.reserve(connection_->blockSize());
    return open_ ? PortOpened : PortOpenFailed;
}

void CPlotPort::openConnection(int portNumber)
{
    openError_.clear();
    OpenResult result;
    if (portNumber > 0) {
        const PortDevice device = resolvePortDevice(portNumber, settingsFile_);
        if (device.path.empty()) {
            openError_ = fillPlaceholders(strings::resultString(strings::IDS_PORT_NO_DEVICE), {portName_});
            return;
        }
        result = isSerialPort(portNumber) ? openSerialLine(device.path, settings, hearDevice_)
                                          : openPrinterPort(device.path, hearDevice_);
    } else if (portNumber == kFilePort) {
        std::string path;
        if (!chooseOutputFile(path)) {
            openError_ = strings::resultString(strings::IDS_PORT_NO_FILE_CHOSEN);
            return;
        }
        result = openOutputFile(path);
    } else {
        result = openOutputFile(platform::toFileSystemPath(portName_));
    }
    connection_ = std::move(result.connection);
    openError_ = std::move(result.error);
}

void CPlotPort::protectPaths(std::function<bool(const std::string&)> isListed,
                             std::vector<std::string> folders)
{
    isListed_ = std::move(isListed);
    protectedFolders_ = std::move(folders);
}

// A file, or a file of a folder, is protected when it is one of them or a link to one.
bool CPlotPort::isProtected(const std::string& path) const
{
    const fs::path place = canonicalPlace(path);
    const fs::path folder = place.parent_path();
    if (isListed_ && (isListed_(path) || isListed_(place.string())))
        return true;
    for (const std::string& protectedFolder : protectedFolders_) {
        if (!protectedFolder.empty() && samePlace(folder, canonicalPlace(protectedFolder)))
            return true;
    }
    const fs::path settingsFolder = canonicalPlace(settingsFile_.path()).parent_path();
    return samePlace(folder, settingsFolder) && ::strcasecmp(place.extension().c_str(), ".ini") == 0;
}

// Refuses the program's own files before anything is opened; the first pass of a run into a file
// truncates it and later passes append, so that every band and copy stays in it.
OpenResult CPlotPort::openOutputFile(const std::string& path)
{
    if (isProtected(path))
        return {nullptr, fillPlaceholders(strings::resultString(strings::IDS_PORT_PROTECTED_FILE), {path})};
    const std::string place = canonicalPlace(path).string();
    OpenResult result = createOutputFile(path, filesWritten_.count(place) != 0);
    if (result.connection)
        filesWritten_.insert(place);
    return result;
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
        dropPending(writeBlocks(pending_.data(), pending_.size()));
    // A pass into a file has ended whole only once its last block is on the disk and the file closed.
    if (open_ && connection_ != nullptr && writeError_.empty() && !stopRaised() && !connection_->finish())
        failWith(connection_->brokenReason());
    if (open_ && bufferQuery_ && writeError_.empty() && !stopRaised() && !passWasStopped())
        confirmEnd();
    pending_.clear();
    bufferQuery_.reset();
    line_.reset();
    open_ = false;
    connection_.reset();
    if (stopFlag_ != nullptr) {
        *stopFlag_ = 1;
        stopFlag_ = nullptr;
    }
    messageSteps_ = MessageSteps::Skip;
}

void CPlotPort::messageStep() const
{
    if (messageSteps_ == MessageSteps::Run)
        platform::messageStep();
}

std::int32_t CPlotPort::Write(const char* text)
{
    if (!open_)
        return 1;
    if (stopRaised() || connection_ == nullptr) {
        dropPending(0);
        return 0;
    }
    const std::size_t size = text != nullptr ? std::strlen(text) : 0;
    if (size == 0)
        return 1;
    if (byteWrites_)
        return writeBytes(text, size);
    pending_.append(text, size);
    stringEnds_.push_back(pending_.size());
    if (pending_.size() < connection_->blockSize())
        return 1;
    return sendWholeBlocks();
}

bool CPlotPort::flush()
{
    if (!open_ || connection_ == nullptr || pending_.empty())
        return true;
    const std::size_t sent = writeBlocks(pending_.data(), pending_.size());
    if (sent < pending_.size()) {
        dropPending(sent);
        return false;
    }
    pending_.clear();
    stringEnds_.assign(1, 0);
    return true;
}

// Sends the whole blocks waiting and keeps the rest, less than a block, for the next strings. A stop
// drops everything not yet sent.
std::int32_t CPlotPort::sendWholeBlocks()
{
    const std::size_t whole = pending_.size() - pending_.size() % connection_->blockSize();
    const std::size_t sent = writeBlocks(pending_.data(), whole);
    if (sent < whole) {
        dropPending(sent);
        return 0;
    }
    pending_.erase(0, whole);
    // The pending bytes were less than a block before the last string came, so what is left is the end
    // of that string.
    stringEnds_.assign(1, pending_.size());
    return 1;
}

// Forgets what is waiting once the device took its first sent bytes, keeping the rest of the string the
// device then holds only the beginning of.
void CPlotPort::dropPending(std::size_t sent)
{
    const auto end = std::lower_bound(stringEnds_.begin(), stringEnds_.end(), sent);
    if (end != stringEnds_.end() && *end > sent && *end <= pending_.size())
        interruptedRest_ = pending_.substr(sent, *end - sent);
    pending_.clear();
    stringEnds_.assign(1, 0);
}

// One byte per write call, the message step before each attempt. The stop command runs inside the
// message step, so the flag is checked right after it: no byte leaves once the output is stopped.
std::int32_t CPlotPort::writeBytes(const char* text, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        long written = 0;
        while (written <= 0) {
            messageStep();
            std::size_t allowed = 1;
            if (!stopRaised() && (!bufferQuery_ || awaitRoom(1, allowed))) {
                written = connection_->write(text + i, 1);
                if (noteAttempt(written))
                    continue;
            }
            if (i > 0)
                interruptedRest_.assign(text + i, size - i);
            return 0;
        }
    }
    return 1;
}

// At most one block of the connection per write call; a partial write continues with the rest. The
// message step runs before each call and, unless the port is told otherwise, after it. Returns the bytes
// sent: all of them unless stopped.
std::size_t CPlotPort::writeBlocks(const char* text, std::size_t size)
{
    const std::size_t block = connection_->blockSize();
    std::size_t sent = 0;
    while (sent < size) {
        if (stopRaised())
            return sent;
        messageStep();
        if (stopRaised())
            return sent;
        std::size_t allowed = std::min(size - sent, block);
        if (bufferQuery_ && !awaitRoom(allowed, allowed))
            return sent;
        const long written = connection_->write(text + sent, allowed);
        if (stepAfterWrite_)
            messageStep();
        if (!noteAttempt(written))
            return sent;
        if (written > 0)
            sent += static_cast<std::size_t>(written);
    }
    return sent;
}

// Keeps count of what the device took, tells of a device that has taken nothing for a while, and ends the
// output, with its reason, when the connection can take no more. False when the write must give up.
bool CPlotPort::noteAttempt(long written)
{
    const auto now = std::chrono::steady_clock::now();
    if (written > 0) {
        bytesSent_ += static_cast<std::size_t>(written);
        if (bufferQuery_)
            bufferQuery_->sent(static_cast<std::size_t>(written));
        lastProgress_ = now;
        stallNoticed_ = false;
        return true;
    }
    if (written < 0) {
        if (!connection_->brokenReason().empty()) {
            writeError_ = connection_->brokenReason();
            if (stopFlag_ != nullptr)
                *stopFlag_ = 1;
            return false;
        }
        std::this_thread::sleep_for(kFailedWritePause);
    }
    if (patience_.count() > 0 && now - lastProgress_ >= patience_) {
        if (stopFlag_ != nullptr)
            *stopFlag_ = 1;
        return false;
    }
    if (!stallNoticed_ && now - lastProgress_ >= kStallNoticeAfter) {
        stallNoticed_ = true;
        if (stallNotice_)
            stallNotice_(bytesSent_);
    }
    return true;
}

void CPlotPort::setStallNotice(std::function<void(std::size_t bytesSent)> notice)
{
    stallNotice_ = std::move(notice);
}

void CPlotPort::finishAfterStop(std::chrono::milliseconds patience)
{
    dropPending(0);
    // A device paced by its buffer is told to throw away what it holds, the beginning of the cut-short
    // string with it.
    if (bufferQuery_) {
        abortDevice();
        interruptedRest_.clear();
    }
    patience_ = patience;
    lastProgress_ = std::chrono::steady_clock::now();
    const std::string rest = std::move(interruptedRest_);
    interruptedRest_.clear();
    if (!rest.empty())
        Write(rest.c_str());
}
