#pragma once

#include "vplotter/PlotterMechanism.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// How the simulated plotter is built.
struct VirtualPlotterSettings {
    std::size_t bufferBytes = 1024; // input buffer; what arrives while it is full is lost
    unsigned baud = 9600;           // the line brings a tenth of this in bytes per second
    double penSpeed = 400;          // millimetres per second with the pen lowered, until VS sets another
    double penUpSpeed = 0;          // millimetres per second lifted; 0: the pen speed
    double instructionSeconds = 0;  // what every instruction takes the mechanism besides its movement
    bool xonXoff = false;           // XOFF when the buffer is three quarters full, XON at half
    std::string identity = "7475A"; // the answer to OI
    // Stands between every answer and the line: gets the request ("ESC.B", "ESC.L", "ESC.O", "ESC.E",
    // "OA", "OC", "OI", "OS", "OE") and the answer the device would give, returns what it does send.
    // Unset, the device answers truly.
    std::function<std::string(std::string_view request, const std::string& answer)> answerFilter;
};

// What the simulated plotter has seen and done so far.
struct VirtualPlotterReport {
    std::size_t received = 0;  // bytes the line delivered, device-control instructions included
    std::size_t lost = 0;      // bytes dropped because the buffer was full
    std::size_t executed = 0;  // HP-GL bytes the mechanism has carried out
    std::size_t discarded = 0; // HP-GL bytes thrown away by an abort (ESC.K)
    std::size_t aborts = 0;    // ESC.K received
    std::size_t requests = 0;  // device-control instructions received (ESC.B, ESC.L, ...)
    std::string kept;          // every HP-GL byte that entered the buffer, in order
    double finishedAt = -1;    // seconds since start when the mechanism last ran out of work; -1 never
    bool drawing = false;      // instructions waiting in the buffer or one under way
    bool lineQuiet = true;     // nothing waits in the line to be delivered
    unsigned lineRate = 0;     // bits per second the sender set on its end of the line
};

// A pen plotter on a pseudo-terminal, for trying ports, handshakes and profiles without a device. The
// sender opens path(). The line delivers the bytes at the baud rate into an input buffer of a fixed size;
// bytes arriving while it is full are dropped and counted, as on a device whose handshake is not wired.
// Device-control instructions (ESC.B free space, ESC.L buffer size, ESC.O status, ESC.E error, ESC.K
// abort) are answered as they arrive; HP-GL instructions wait in the buffer and are carried out in order at
// pen speed, and the output instructions among them are answered when they are reached. Answers end with a
// carriage return. With xonXoff the device sends XOFF and XON; a sender that honours them (IXON on its end
// of the line) is held, as a serial driver stops its transmit buffer.
//
// The device runs on a thread of its own from construction to destruction; every call is thread-safe.
class VirtualPlotter {
public:
    // Asks for a plotter on a virtual clock (see play).
    struct VirtualClock {};

    explicit VirtualPlotter(VirtualPlotterSettings settings = {});
    // A plotter with no line of its own and no thread, whose clock only moves as play computes it.
    VirtualPlotter(VirtualPlotterSettings settings, VirtualClock);
    ~VirtualPlotter();
    VirtualPlotter(const VirtualPlotter&) = delete;
    VirtualPlotter& operator=(const VirtualPlotter&) = delete;

    bool ok() const { return !path_.empty(); }
    // The device the sender opens.
    const std::string& path() const { return path_; }
    VirtualPlotterReport report() const;
    // Seconds since the device was made, the clock of finishedAt.
    double seconds() const;
    // Waits until the line is quiet and the mechanism idle, or the time-out passes; true when idle.
    bool waitUntilIdle(double timeoutSeconds) const;

    // The VIEW button: drawing is suspended while it is pressed, and ESC.O says so (16).
    void setViewPressed(bool pressed);
    // The paper lever: drawing is suspended while it is up, and ESC.O says so (32).
    void setLeverUp(bool up);
    // Bytes the device sends on its own, outside any answer.
    void sendUnsolicited(const std::string& bytes);
    // The device goes away: its end of the line is closed.
    void hangUp();

    // On a virtual clock: the bytes come down the line back to back at its rate into the same buffer,
    // and the sender is held while the buffer has no room, as a line with a working handshake holds it;
    // the mechanism works the buffer off as it would in real time. Returns the seconds from the first
    // byte until everything is drawn, computed rather than waited for. Answers are not sent.
    double play(std::string_view bytes);

private:
    void run();
    void deliver(double now);
    void receive(char byte, double at);
    void deviceControl(char instruction, double at);
    void runMechanism(double now);
    void answer(std::string_view request, const std::string& text, double at);
    void flushAnswers(double now);
    void flowControl();
    bool senderHoldsOnXoff() const;

    const VirtualPlotterSettings settings_;
    const std::chrono::steady_clock::time_point start_;
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    mutable std::mutex mutex_;
    std::atomic<bool> done_{false};

    PlotterMechanism mechanism_;
    std::string buffer_;
    VirtualPlotterReport report_;
    double lineClock_ = 0;
    // The device-control instruction being read: 0 outside one, 'E' after ESC, '.' after ESC., else the
    // letter of an instruction whose parameters are being read up to its colon.
    char control_ = 0;
    std::size_t controlLength_ = 0;
    int controlError_ = 0;
    bool busy_ = false;
    bool starved_ = true;
    double busyUntil_ = 0;
    std::size_t currentLength_ = 0;
    bool viewPressed_ = false;
    bool leverUp_ = false;
    bool xoffSent_ = false;
    // The stream has ended: an instruction left without its end is carried out as it is.
    bool endOfStream_ = false;
    struct Answer {
        double due;
        std::string bytes;
    };
    std::vector<Answer> answers_;
    std::thread thread_;
};
