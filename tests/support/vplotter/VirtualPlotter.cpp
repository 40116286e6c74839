#include "vplotter/VirtualPlotter.h"

// The kernel's termios2 reads any rate the sender set; it cannot be mixed with <termios.h>, so the
// pseudo-terminal is made without <pty.h>.
#include <asm/termbits.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

#include <algorithm>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kEscape = 0x1B;
constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;
// Start bit, eight data bits, stop bit.
constexpr double kBitsPerByte = 10;
// A device-control instruction's parameters end at a colon; a longer run is cut off there.
constexpr std::size_t kLongestControl = 64;
// The HP-GL error numbers ESC.E reports.
constexpr int kInvalidByteAfterEscape = 11;
constexpr int kBufferOverflow = 16;

// Device-control instructions whose parameters run up to a colon.
bool takesParameters(char instruction)
{
    return std::string_view("@HIMNPST").find(instruction) != std::string_view::npos;
}

// Bytes pass the line unchanged and it runs at the device's rate, until the sender sets its own state.
void setRawLine(int fd, unsigned baud)
{
    termios2 state{};
    if (ioctl(fd, TCGETS2, &state) != 0)
        return;
    state.c_iflag &= ~(IGNBRK | BRKINT | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    state.c_oflag &= ~OPOST;
    state.c_lflag &= ~(ICANON | ECHO | ECHOE | ECHONL | ISIG | IEXTEN);
    state.c_cflag = (state.c_cflag & ~(CBAUD | (CBAUD << IBSHIFT) | CSIZE)) | CS8 | BOTHER | CLOCAL | CREAD;
    state.c_ispeed = baud;
    state.c_ospeed = baud;
    ioctl(fd, TCSETS2, &state);
}

} // namespace

namespace {

MechanismSettings mechanismOf(const VirtualPlotterSettings& settings)
{
    return {settings.penSpeed, settings.penUpSpeed, settings.instructionSeconds, settings.identity};
}

} // namespace

VirtualPlotter::VirtualPlotter(VirtualPlotterSettings settings, VirtualClock)
    : settings_(std::move(settings)), start_(Clock::now()), mechanism_(mechanismOf(settings_))
{
}

VirtualPlotter::VirtualPlotter(VirtualPlotterSettings settings)
    : settings_(std::move(settings)), start_(Clock::now()), mechanism_(mechanismOf(settings_))
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0)
        return;
    // The device keeps its own hold on the sender's end, so that the line's state outlives the sender's
    // passes and can be read back.
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0)
        return;
    path_ = name;
    setRawLine(slave_, settings_.baud);
    lineClock_ = seconds();
    thread_ = std::thread([this] { run(); });
}

VirtualPlotter::~VirtualPlotter()
{
    done_ = true;
    if (thread_.joinable())
        thread_.join();
    if (master_ >= 0)
        close(master_);
    if (slave_ >= 0)
        close(slave_);
}

double VirtualPlotter::seconds() const
{
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

VirtualPlotterReport VirtualPlotter::report() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    VirtualPlotterReport copy = report_;
    copy.drawing = busy_ || !buffer_.empty();
    int waiting = 0;
    copy.lineQuiet = master_ < 0 || ioctl(master_, FIONREAD, &waiting) != 0 || waiting == 0;
    termios2 state{};
    if (slave_ >= 0 && ioctl(slave_, TCGETS2, &state) == 0)
        copy.lineRate = state.c_ospeed;
    return copy;
}

// Idle must hold for a while: bytes just written reach the device's end of a pseudo-terminal a moment later.
bool VirtualPlotter::waitUntilIdle(double timeoutSeconds) const
{
    constexpr double kSettle = 0.1;
    const double deadline = seconds() + timeoutSeconds;
    double idleSince = -1;
    for (;;) {
        const VirtualPlotterReport now = report();
        const double at = seconds();
        if (now.drawing || !now.lineQuiet)
            idleSince = -1;
        else if (idleSince < 0)
            idleSince = at;
        if (idleSince >= 0 && at - idleSince >= kSettle)
            return true;
        if (at > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void VirtualPlotter::setViewPressed(bool pressed)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    viewPressed_ = pressed;
}

void VirtualPlotter::setLeverUp(bool up)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    leverUp_ = up;
}

void VirtualPlotter::sendUnsolicited(const std::string& bytes)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back({0, bytes});
}

void VirtualPlotter::hangUp()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (master_ >= 0)
        close(master_);
    master_ = -1;
    if (slave_ >= 0)
        close(slave_);
    slave_ = -1;
}

// One step a millisecond: answers that are due go out, the line delivers what its rate allows, the
// mechanism catches up with the clock, and the flow control follows the buffer.
void VirtualPlotter::run()
{
    while (!done_) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (master_ >= 0) {
                const double now = seconds();
                flushAnswers(now);
                deliver(now);
                runMechanism(now);
                flowControl();
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Takes from the line what it could have brought since the last step, each byte at its own moment, so
// that the buffer and the mechanism meet in the order they would on a device.
void VirtualPlotter::deliver(double now)
{
    const double perByte = kBitsPerByte / settings_.baud;
    if (xoffSent_ && senderHoldsOnXoff()) {
        lineClock_ = now;
        return;
    }
    if (lineClock_ + perByte > now)
        return;
    char bytes[4096];
    const auto due = std::min(sizeof bytes, static_cast<std::size_t>((now - lineClock_) / perByte));
    const ssize_t got = read(master_, bytes, due);
    const std::size_t count = got > 0 ? static_cast<std::size_t>(got) : 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double at = lineClock_ + perByte;
        runMechanism(at);
        receive(bytes[i], at);
        lineClock_ = at;
    }
    if (count < due)
        lineClock_ = now; // the line ran dry: it idles until more comes
}

void VirtualPlotter::receive(char byte, double at)
{
    ++report_.received;
    if (control_ == 'E') {
        control_ = byte == '.' ? '.' : 0;
        if (control_ == 0)
            controlError_ = kInvalidByteAfterEscape;
        return;
    }
    if (control_ == '.') {
        control_ = 0;
        if (takesParameters(byte)) {
            control_ = byte;
            controlLength_ = 0;
        } else {
            deviceControl(byte, at);
        }
        return;
    }
    if (control_ != 0) {
        if (byte == ':' || ++controlLength_ >= kLongestControl) {
            ++report_.requests;
            control_ = 0;
        }
        return;
    }
    if (byte == kEscape) {
        control_ = 'E';
        return;
    }
    if (buffer_.size() >= settings_.bufferBytes) {
        ++report_.lost;
        controlError_ = kBufferOverflow;
        return;
    }
    buffer_ += byte;
    report_.kept += byte;
}

void VirtualPlotter::deviceControl(char instruction, double at)
{
    ++report_.requests;
    switch (instruction) {
    case 'B':
        answer("ESC.B", std::to_string(settings_.bufferBytes - buffer_.size()) + "\r", at);
        break;
    case 'L':
        answer("ESC.L", std::to_string(settings_.bufferBytes) + "\r", at);
        break;
    case 'O': {
        const int status =
            (buffer_.empty() && !busy_ ? 8 : 0) | (viewPressed_ ? 16 : 0) | (leverUp_ ? 32 : 0);
        answer("ESC.O", std::to_string(status) + "\r", at);
        break;
    }
    case 'E':
        answer("ESC.E", std::to_string(controlError_) + "\r", at);
        controlError_ = 0;
        break;
    case 'K':
        ++report_.aborts;
        report_.discarded += buffer_.size();
        buffer_.clear();
        busy_ = false;
        starved_ = true;
        mechanism_.abort();
        break;
    default:
        break; // plotter on and off, resets and handshake settings change nothing here
    }
}

// Carries out instructions up to the moment now. An instruction leaves the buffer when it is done, so
// a free space equal to the buffer size means everything received has been drawn.
void VirtualPlotter::runMechanism(double now)
{
    for (;;) {
        if (viewPressed_ || leverUp_) {
            starved_ = true;
            return;
        }
        if (busy_) {
            if (busyUntil_ > now)
                return;
            report_.executed += currentLength_;
            buffer_.erase(0, currentLength_);
            busy_ = false;
            if (buffer_.empty())
                report_.finishedAt = busyUntil_;
        }
        const PlotterMechanism::Step step =
            mechanism_.step(buffer_, endOfStream_ || buffer_.size() >= settings_.bufferBytes);
        if (step.length == 0) {
            starved_ = true;
            return;
        }
        const double start = starved_ ? now : busyUntil_;
        starved_ = false;
        if (!step.answer.empty())
            answer(std::string_view(buffer_).substr(buffer_.find_first_not_of(" \t\r\n;,"), 2), step.answer,
                   start);
        busy_ = true;
        busyUntil_ = start + step.seconds;
        currentLength_ = step.length;
    }
}

void VirtualPlotter::answer(std::string_view request, const std::string& text, double at)
{
    answers_.push_back({at, settings_.answerFilter ? settings_.answerFilter(request, text) : text});
}

// Sends the answers that are due, in order. A line that takes no more drops the rest of an answer, as a
// device's output buffer overflows.
void VirtualPlotter::flushAnswers(double now)
{
    std::size_t sent = 0;
    while (sent < answers_.size() && answers_[sent].due <= now) {
        const std::string& bytes = answers_[sent].bytes;
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t got = write(master_, bytes.data() + written, bytes.size() - written);
            if (got <= 0)
                break;
            written += static_cast<std::size_t>(got);
        }
        ++sent;
    }
    answers_.erase(answers_.begin(), answers_.begin() + static_cast<std::ptrdiff_t>(sent));
}

void VirtualPlotter::flowControl()
{
    if (!settings_.xonXoff)
        return;
    const std::size_t free = settings_.bufferBytes - buffer_.size();
    if (!xoffSent_ && free < settings_.bufferBytes / 4) {
        xoffSent_ = true;
        answers_.push_back({0, std::string(1, kXoff)});
    } else if (xoffSent_ && free >= settings_.bufferBytes / 2) {
        xoffSent_ = false;
        answers_.push_back({0, std::string(1, kXon)});
    }
}

// Whether the sender's end of the line stops on XOFF: its serial driver would then stop sending what it
// holds, so the line brings nothing more until XON.
bool VirtualPlotter::senderHoldsOnXoff() const
{
    termios2 state{};
    return slave_ >= 0 && ioctl(slave_, TCGETS2, &state) == 0 && (state.c_iflag & IXON) != 0;
}

double VirtualPlotter::play(std::string_view bytes)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const double perByte = kBitsPerByte / settings_.baud;
    double clock = 0;
    for (const char byte : bytes) {
        double at = clock + perByte;
        runMechanism(at);
        // The line holds until the instruction under way is drawn and leaves the buffer.
        while (buffer_.size() >= settings_.bufferBytes && busy_) {
            at = std::max(at, busyUntil_);
            runMechanism(at);
        }
        receive(byte, at);
        runMechanism(at);
        clock = at;
    }
    endOfStream_ = true;
    for (double at = clock;; at = busyUntil_) {
        runMechanism(at);
        if (!busy_)
            break;
    }
    answers_.clear();
    return std::max(report_.finishedAt, clock);
}
