#include "ports/SerialLine.h"

#include "ports/PortSettings.h"
#include "ports/SerialLineState.h"

#include <sys/ioctl.h>

namespace {

constexpr int kStateAttempts = 5;

void setXonXoff(termios2& state, bool on)
{
    if (on)
        state.c_iflag |= IXON | IXOFF;
    else
        state.c_iflag &= ~(IXON | IXOFF);
}

void setRate(termios2& state, unsigned rate)
{
    if (rate == 0) // a zero rate would hang up the line
        return;
    state.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    state.c_cflag |= BOTHER;
    state.c_ospeed = rate;
    state.c_ispeed = rate;
}

void setDataBits(termios2& state, unsigned bits)
{
    tcflag_t size = 0;
    switch (bits) {
    case 5:
        size = CS5;
        break;
    case 6:
        size = CS6;
        break;
    case 7:
        size = CS7;
        break;
    case 8:
        size = CS8;
        break;
    default:
        return; // the line has no such size
    }
    state.c_cflag = (state.c_cflag & ~CSIZE) | size;
}

void setParity(termios2& state, unsigned code)
{
    state.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (code) {
    case 1:
        state.c_cflag |= PARENB | PARODD;
        break;
    case 2:
        state.c_cflag |= PARENB;
        break;
    case 3:
        state.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case 4:
        state.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break; // none
    }
    // Parity errors on input are checked whatever the parity.
    state.c_iflag |= INPCK;
}

void setStopBits(termios2& state, unsigned code)
{
    if (code == 0)
        state.c_cflag &= ~CSTOPB;
    else if (code == 2)
        state.c_cflag |= CSTOPB;
    // One and a half stop bits do not exist on this system's lines; like any other code, keep the setting.
}

void setRawBytes(termios2& state)
{
    state.c_oflag &= ~OPOST;
    state.c_iflag &= ~(IGNBRK | BRKINT | ISTRIP | INLCR | IGNCR | ICRNL | IXANY);
    state.c_lflag &= ~(ICANON | ECHO | ECHOE | ECHONL | ISIG | IEXTEN);
    // The plotter is always there: no carrier is needed to write.
    state.c_cflag |= CLOCAL | CREAD;
}

bool applyState(int fd, const termios2& state)
{
    for (int attempt = 0; attempt < kStateAttempts; ++attempt) {
        if (ioctl(fd, TCSETS2, &state) == 0)
            return true;
    }
    return false;
}

} // namespace

termios2 serialLineState(const termios2& current, const PortSettings& settings)
{
    termios2 state = current;
    setXonXoff(state, (settings.FlowCtrl & kFlowXonXoff) != 0);
    setRate(state, settings.TranSpeed);
    setDataBits(state, settings.DataWidth & 0xFFu);
    setParity(state, settings.OECheck);
    setStopBits(state, settings.StopBits);
    setRawBytes(state);
    if ((settings.FlowCtrl & kFlowRtsCts) != 0)
        state.c_cflag |= CRTSCTS;
    else
        state.c_cflag &= ~CRTSCTS;
    return state;
}

void applySerialSettings(int fd, const PortSettings& settings)
{
    termios2 current{};
    if (ioctl(fd, TCGETS2, &current) != 0)
        return; // not a serial line: use it as it is
    termios2 state = serialLineState(current, settings);
    if (!applyState(fd, state)) {
        // A driver that refuses the rate takes the rest with the line's current rate.
        state.c_cflag = (state.c_cflag & ~(CBAUD | (CBAUD << IBSHIFT))) |
                        (current.c_cflag & (CBAUD | (CBAUD << IBSHIFT)));
        state.c_ospeed = current.c_ospeed;
        state.c_ispeed = current.c_ispeed;
        applyState(fd, state);
    }

    // DTR is raised with or without DTR/DSR handshaking (DSR is watched before each write instead), and
    // RTS is raised when RTS/CTS does not drive it. Lines without modem lines refuse; that is fine.
    int lines = TIOCM_DTR;
    if ((settings.FlowCtrl & kFlowRtsCts) == 0)
        lines |= TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &lines);
}

bool dsrIsLow(int fd)
{
    int lines = 0;
    if (ioctl(fd, TIOCMGET, &lines) != 0)
        return false;
    return (lines & TIOCM_DSR) == 0;
}

unsigned lineOutputRate(int fd)
{
    termios2 state{};
    if (ioctl(fd, TCGETS2, &state) != 0)
        return 0;
    return state.c_ospeed;
}
