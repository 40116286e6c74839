// The port's side of the device handshake: the conversation with the device and the points where the
// writer waits for it.

#include "ports/BufferQuery.h"
#include "ports/CPlotPort.h"
#include "ports/PortConnection.h"
#include "ports/PortKind.h"
#include "ports/PortLine.h"
#include "res/strings/Placeholders.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <chrono>
#include <thread>

namespace {

// A request is a few bytes; a line that takes none of them for this long is given up on.
constexpr auto kRequestPatience = std::chrono::seconds(1);

} // namespace

bool CPlotPort::Line::sendRequest(std::string_view bytes)
{
    const auto until = std::chrono::steady_clock::now() + kRequestPatience;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const long written = port_.connection_->write(bytes.data() + sent, bytes.size() - sent);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && !port_.connection_->brokenReason().empty())
            return false;
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

long CPlotPort::Line::receive(char* into, std::size_t size, int waitMs)
{
    return port_.connection_->read(into, size, waitMs);
}

bool CPlotPort::Line::keepGoing()
{
    port_.messageStep();
    return !port_.stopRaised();
}

bool CPlotPort::startHandshake()
{
    line_ = std::make_unique<Line>(*this);
    bufferQuery_ = std::make_unique<BufferQuery>(*line_, connection_->bytesPerSecond());
    bufferQuery_->setNotice([this](const std::string& text) {
        if (deviceNotice_)
            deviceNotice_(text);
    });
    if (bufferQuery_->begin() != BufferQuery::Outcome::Failed)
        return true;
    openError_ = bufferQuery_->failure();
    bufferQuery_.reset();
    line_.reset();
    connection_.reset();
    return false;
}

// Waits until the device has room; false when the output was stopped meanwhile or the device failed.
bool CPlotPort::awaitRoom(std::size_t wanted, std::size_t& allowed)
{
    const BufferQuery::Outcome outcome = bufferQuery_->allowance(wanted, allowed);
    if (outcome == BufferQuery::Outcome::Failed)
        failWith(bufferQuery_->failure());
    // A device that answered is taking data, however long it kept its buffer full: the stall notice and
    // the patience after a stop count from here.
    lastProgress_ = std::chrono::steady_clock::now();
    return outcome == BufferQuery::Outcome::Done;
}

// The pass is over only once the device has drawn it; a stop meanwhile makes it throw away the rest.
void CPlotPort::confirmEnd()
{
    const BufferQuery::Outcome outcome = bufferQuery_->confirmEnd();
    if (outcome == BufferQuery::Outcome::Stopped) {
        abortDevice();
        stoppedWhileDrawing_ = true;
    } else if (outcome == BufferQuery::Outcome::Failed) {
        failWith(bufferQuery_->failure());
    }
}

void CPlotPort::abortDevice() { bufferQuery_->abort(); }

void CPlotPort::failWith(const std::string& reason)
{
    writeError_ = reason;
    if (stopFlag_ != nullptr)
        *stopFlag_ = 1;
}

void CPlotPort::setDeviceNotice(std::function<void(const std::string&)> notice)
{
    deviceNotice_ = std::move(notice);
}

bool CPlotPort::OpenToListen()
{
    Close();
    stopFlag_ = nullptr;
    messageSteps_ = MessageSteps::Skip;
    bufferQuery_.reset();
    const int portNumber = classifyPortName(portName_.c_str());
    if (portNumber <= 0) {
        openError_ = fillPlaceholders(strings::resultString(strings::IDS_PORT_NO_DEVICE), {portName_});
        return false;
    }
    hearDevice_ = true;
    openConnection(portNumber);
    open_ = connection_ != nullptr;
    if (open_)
        line_ = std::make_unique<Line>(*this);
    return open_;
}

DeviceLine* CPlotPort::deviceLine() { return open_ ? line_.get() : nullptr; }

unsigned CPlotPort::lineBytesPerSecond() const { return connection_ ? connection_->bytesPerSecond() : 0; }
