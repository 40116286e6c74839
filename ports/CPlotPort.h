#pragma once

#include "platform/CProfile.h"
#include "ports/PortSettings.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class BufferQuery;
class DeviceLine;
class PortConnection;
struct OpenResult;

// How a pass hands its strings to a COM or LPT port. Files and ports named by a path always take blocks.
// The values are those the device profile stores in OutMethod.
enum class OutputMethod : std::int32_t {
    ByteByByte = 1,                  // one byte per write call, the message step before each
    Blocks = 2,                      // blocks, the message step before and after each write call
    BlocksWithoutStepAfterWrite = 3, // blocks, the message step before each write call only
};
// The stored OutMethod of a device profile: 0 and 1 one byte per call, 3 blocks without the step after
// each call, any other value blocks.
OutputMethod outputMethodOf(int stored);

// Whether the writes of a pass run the message step, so that the window stays alive and its stop
// command can run in the middle of a write.
enum class MessageSteps { Run, Skip };

// Whether Open made the port ready for writes; openError() says why not.
enum PortOpenResult : std::int32_t { PortOpenFailed = 0, PortOpened = 1 };

// How the port paces the device beyond the line's own flow control (the profile key Handshake).
enum class DeviceHandshake {
    LineOnly = 0,    // the line's flow control alone; the port never hears the device
    BufferQuery = 1, // the HP-GL buffer query: the device's free space before each block, its end confirmed
};

// The one object through which device commands leave the program: a serial port (COM1..COM8), a parallel
// or USB printer port (LPT1..LPT8), a file chosen when the port is named File, or any other path.
//
// Every write is a blocking loop on the user-interface thread that runs the message step between
// attempts, so that the window stays alive and the stop command can run in the middle of a write.
//
// The stop flag belongs to the caller (the output device): a 32-bit integer, 0 while a pass runs and 1
// when idle or stopped. Open takes a pointer to it and sets it to 0; Close sets it to 1 and forgets it;
// every write checks it before each attempt and returns 0 once it is raised. The pointer must stay valid
// until Close. A null pointer means the output cannot be stopped.
//
// Open, Write and Close are virtual so that a recording port can stand in for a real one. The port only
// writes; what a device says back would be read through the same connection, beside the writer.
class CPlotPort {
public:
    // Binds Port.INI in the program folder and loads the settings.
    CPlotPort();
    // Binds the given settings file instead.
    explicit CPlotPort(const std::string& settingsPath);
    virtual ~CPlotPort();
    CPlotPort(const CPlotPort&) = delete;
    CPlotPort& operator=(const CPlotPort&) = delete;

    // Chooses the port by name, or a path of any length, and reloads the settings.
    void SelectPort(const char* name);
    // Starts a run of passes: the first pass into a file truncates it, later passes into it append.
    void beginRun() { filesWritten_.clear(); }
    // Files, and folders whose files, no pass may write into: the plot files of the run, told by isListed
    // (asked with the output's path as given and as resolved, so that a link to a listed file is refused;
    // the run asks its list, whose lookup costs the same however long the list is) and the receive
    // folders. The INI files beside Port.INI are never written either.
    void protectPaths(std::function<bool(const std::string&)> isListed, std::vector<std::string> folders);
    // Opens the selected port for a pass written with the given method (COM and LPT ports only; File and
    // other names always write blocks), its writes running the message step (platform::messageStep) or
    // not.
    //
    // Block writes collect the strings of a pass and send them as soon as they fill a block of the
    // connection's size (64 KiB for a regular file, about 50 ms of sending for a device); Close sends the
    // rest. The stop flag is checked before every write call: once it is raised, what has not been sent
    // is dropped and the device holds exactly the beginning of the stream. The rest of the one string
    // the device holds only the beginning of is kept for finishAfterStop.
    virtual PortOpenResult Open(OutputMethod method, MessageSteps steps, std::int32_t* stopFlag);
    // Hands over the bytes before the terminator. Returns 1 when all were taken (sent, or waiting for the
    // rest of their block), or when the port is not open (nothing is sent); 0 when stopped. A device that
    // takes nothing, or has gone, is retried at a pace of a few milliseconds until the stop flag is raised;
    // one that can take no more (hung up, broken pipe, no space left) raises the flag with writeError().
    virtual std::int32_t Write(const char* text);
    // Sends what is still waiting, unless stopped, and ends the connection.
    virtual void Close();
    // Sends what is waiting now, so that everything handed over has reached the connection; false when a
    // stop or a failure cut it short. The run does this at the end of every section before it charges the
    // section's media: a program killed then leaves a roll count that holds what the device received.
    bool flush();
    // Whether the port hands each pass on only once it has ended whole (a spool file renamed at its end):
    // the media of such a pass is used when it is delivered, not section by section.
    virtual bool deliversPassesWhole() const { return false; }
    // After Close: whether the pass reached the device; a port delivering passes whole may throw one away.
    virtual bool passDelivered() const { return true; }

    void LoadSettings();
    void SaveSettings();

    // The handshake of the following opens. With the buffer query a COM or LPT port is opened to hear the
    // device; Open asks its buffer size and fails with openError() when it cannot tell; every block waits
    // for room in its buffer; Close waits until the device has drawn the pass, runs the message step
    // meanwhile, and sends the device's abort when stopped then. A file takes no handshake.
    void setHandshake(DeviceHandshake handshake) { handshake_ = handshake; }
    // Called with the device's state in words while the port waits for it: drawing the end of the pass,
    // paused at its VIEW button or paper lever.
    void setDeviceNotice(std::function<void(const std::string&)> notice);
    // Opens the selected COM or LPT port to hear the device, without a handshake, for a device check;
    // false with openError().
    bool OpenToListen();
    // The conversation with the device while the port is open to hear it; null otherwise.
    DeviceLine* deviceLine();
    // What the line carries in bytes per second while open; 0 for a device with no rate.
    unsigned lineBytesPerSecond() const;

    const char* portName() const { return portName_.c_str(); }
    // Why the output of the last pass failed for good (the device hung up, a broken pipe, no space left),
    // for the run to fail the copy with; empty otherwise. Such a failure raises the stop flag.
    const std::string& writeError() const { return writeError_; }
    // The bytes taken since the port was selected: the run selects it once per copy.
    std::size_t bytesSent() const { return bytesSent_; }
    // The bytes handed over since the port was selected: those sent and those still waiting for their
    // block.
    std::size_t bytesHandedOver() const { return bytesSent_ + pending_.size(); }
    // Called once when a write has made no progress for a few seconds, and again only after the device
    // took data in between; the writer keeps waiting, as the operator may be changing the media.
    void setStallNotice(std::function<void(std::size_t bytesSent)> notice);
    // After a stop, with the stop flag lowered again: drops what was waiting, sends the rest of the string
    // the stop cut short, so that the device is not left in the middle of a command, and lets the writes
    // that follow give up, raising the stop flag, once the device has taken nothing for the given time.
    void finishAfterStop(std::chrono::milliseconds patience);
    // Whether the pass was stopped before its end, even when it then ended safely.
    bool passWasStopped() const { return patience_.count() > 0; }
    // Whether a device paced by its buffer was stopped while it was still drawing the pass that had been
    // sent whole: it threw the rest away, and has not drawn the pass.
    bool stoppedWhileDrawing() const { return stoppedWhileDrawing_; }
    // Why the last Open failed, for the window to show; empty after a successful Open.
    const std::string& openError() const { return openError_; }

    // Where the passes of the copy were written, for the journal: one path a line; empty unless a port
    // that names its own output files says.
    virtual std::string writtenOutput() const { return {}; }

    // The settings of Port.INI, as loaded; the port settings dialog edits them and saves them.
    PortSettings settings;

protected:
    // Fails the pass's output for good with the reason, as a device that can take no more does.
    void failWith(const std::string& reason);

private:
    bool stopRaised() const { return stopFlag_ != nullptr && *stopFlag_ != 0; }
    void messageStep() const;
    void openConnection(int portNumber);
    bool chooseOutputFile(std::string& path);
    OpenResult openOutputFile(const std::string& path);
    bool isProtected(const std::string& path) const;
    std::int32_t writeBytes(const char* text, std::size_t size);
    std::size_t writeBlocks(const char* text, std::size_t size);
    std::int32_t sendWholeBlocks();
    bool noteAttempt(long written);
    void dropPending(std::size_t sent);
    bool startHandshake();
    bool awaitRoom(std::size_t wanted, std::size_t& allowed);
    void abortDevice();
    void confirmEnd();
    class Line;

    std::string portName_;
    std::int32_t* stopFlag_ = nullptr;
    MessageSteps messageSteps_ = MessageSteps::Skip;
    bool open_ = false;
    CProfile settingsFile_;
    // COM and LPT ports told to send one byte per call; every other port writes blocks.
    bool byteWrites_ = false;
    // Whether a block write runs the message step after the call as well as before it.
    bool stepAfterWrite_ = true;
    // Bytes handed over but not yet sent: less than one block between writes.
    std::string pending_;
    // Where the strings in pending_ end, in order; 0 is one while the device holds whole strings only.
    std::vector<std::size_t> stringEnds_{0};
    std::unique_ptr<PortConnection> connection_;
    std::string openError_;
    std::string writeError_;
    std::size_t bytesSent_ = 0;
    std::chrono::steady_clock::time_point lastProgress_;
    bool stallNoticed_ = false;
    // Zero while the writes wait for the device as long as it takes.
    std::chrono::milliseconds patience_{0};
    // What the stop left unsent of the string it cut short.
    std::string interruptedRest_;
    std::function<void(std::size_t)> stallNotice_;
    std::set<std::string> filesWritten_;
    DeviceHandshake handshake_ = DeviceHandshake::LineOnly;
    bool hearDevice_ = false;
    std::unique_ptr<Line> line_;
    std::unique_ptr<BufferQuery> bufferQuery_;
    std::function<void(const std::string&)> deviceNotice_;
    bool stoppedWhileDrawing_ = false;
    std::function<bool(const std::string&)> isListed_;
    std::vector<std::string> protectedFolders_;
};
