#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// What a handshake needs of the port it runs on.
class DeviceLine {
public:
    virtual ~DeviceLine() = default;
    // Sends a request at once, outside the pacing; false when the line can take no more.
    virtual bool sendRequest(std::string_view bytes) = 0;
    // Reads what the device has sent, waiting at most waitMs: the bytes read, 0 none, -1 the device hung up.
    virtual long receive(char* into, std::size_t size, int waitMs) = 0;
    // The message step between waits; false once the output is stopped.
    virtual bool keepGoing() = 0;
};

// The HP-GL buffer query: before a block goes out the device is asked its free buffer space (ESC.B) and at
// most that much is sent, so that a device whose line has no working flow control loses nothing. At the
// end of a pass the device is asked until its buffer is empty, then its pen position (OA), which it gives
// only once it has carried out everything before it: only then has it drawn the pass.
//
// Every question is answered within a bound: a reply is waited for up to a second after the bytes before
// it have had time to cross the line, and asked once more; a device that does not answer, answers what
// cannot be read or hangs up fails the pass with the reason. A device that is paused (VIEW, paper lever)
// is waited for, with the reason told; one that reports a transmission error fails the pass.
class BufferQuery {
public:
    enum class Outcome { Done, Stopped, Failed };

    // bytesPerSecond: what the line carries, for the time the bytes before a question take; 0 for a
    // line with no rate of its own (a printer port), taken as fast.
    BufferQuery(DeviceLine& line, unsigned bytesPerSecond);

    // Called with the device's state in words while the writer waits for it (drawing, paused).
    void setNotice(std::function<void(const std::string&)> notice) { notice_ = std::move(notice); }

    // At the start of a pass: asks the buffer size (ESC.L).
    Outcome begin();
    // How many of wanted bytes may go now: waits while the device's buffer is full. allowed is at least 1
    // when the outcome is Done.
    Outcome allowance(std::size_t wanted, std::size_t& allowed);
    // The bytes of the last allowance that went out.
    void sent(std::size_t bytes);
    // After the last byte of the pass: waits until the device has drawn everything.
    Outcome confirmEnd();
    // The device's abort (ESC.K): it throws away what it holds and stops drawing.
    void abort();
    // Asks anything, within the bound and with one retry; reply is the answer without its terminator.
    Outcome question(std::string_view request, std::string& reply) { return ask(request, reply, false); }

    // Why the pass failed, for the job's text.
    const std::string& failure() const { return failure_; }
    std::size_t bufferSize() const { return size_; }

private:
    Outcome askNumber(std::string_view request, long& value);
    Outcome ask(std::string_view request, std::string& reply, bool number);
    Outcome checkDevice();
    Outcome pauseFor(std::chrono::milliseconds time);
    void tell(const std::string& text);
    Outcome fail(std::string reason);

    DeviceLine& line_;
    unsigned bytesPerSecond_;
    std::size_t size_ = 0;
    std::size_t credit_ = 0;
    // Sent since the device last answered: they are still crossing the line before the next question.
    std::size_t inFlight_ = 0;
    std::function<void(const std::string&)> notice_;
    std::string told_;
    std::string failure_;
};
