// Uses the kernel's termios2 and so cannot include <termios.h>.
#include "ports/PortSettings.h"
#include "ports/SerialLineState.h"

#include <gtest/gtest.h>

namespace {

termios2 lineWith(tcflag_t cflag, tcflag_t iflag)
{
    termios2 state{};
    state.c_cflag = cflag | BOTHER;
    state.c_iflag = iflag;
    state.c_ospeed = state.c_ispeed = 19200;
    state.c_oflag = OPOST | ONLCR;
    return state;
}

} // namespace

TEST(SerialLineState, ParityDataBitsAndStopBitsFollowTheSettings)
{
    struct Case {
        std::uint16_t parityCode;
        tcflag_t parity;
        std::uint16_t dataWidth;
        tcflag_t size;
    };
    const Case cases[] = {
        {0, 0, 8, CS8},
        {1, PARENB | PARODD, 7, CS7},
        {2, PARENB, 6, CS6},
        {3, PARENB | PARODD | CMSPAR, 5, CS5},
        {4, PARENB | CMSPAR, 0x0107, CS7}, // only the low byte of the data width counts
        {65535, 0, 8, CS8},                // an unknown parity code means none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parityCode);
        PortSettings settings;
        settings.OECheck = c.parityCode;
        settings.DataWidth = c.dataWidth;
        const termios2 state = serialLineState(lineWith(CS8 | PARENB | PARODD | CMSPAR, 0), settings);
        EXPECT_EQ(state.c_cflag & (PARENB | PARODD | CMSPAR), c.parity);
        EXPECT_EQ(state.c_cflag & CSIZE, c.size);
        EXPECT_NE(state.c_iflag & INPCK, 0u);
        EXPECT_EQ(state.c_oflag & OPOST, 0u);
        EXPECT_NE(state.c_cflag & CLOCAL, 0u);
    }
}

TEST(SerialLineState, UnusableValuesKeepTheCurrentSetting)
{
    PortSettings settings;
    settings.TranSpeed = 0;
    settings.DataWidth = 4;
    settings.StopBits = 1;
    termios2 state = serialLineState(lineWith(CS7 | CSTOPB, 0), settings);
    EXPECT_EQ(state.c_ospeed, 19200u);
    EXPECT_EQ(state.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    EXPECT_NE(state.c_cflag & CSTOPB, 0u);

    settings.StopBits = 7;
    settings.DataWidth = 9;
    state = serialLineState(lineWith(CS6, 0), settings);
    EXPECT_EQ(state.c_cflag & CSIZE, static_cast<tcflag_t>(CS6));
    EXPECT_EQ(state.c_cflag & CSTOPB, 0u);

    settings.StopBits = 0;
    settings.TranSpeed = 256000;
    state = serialLineState(lineWith(CS8 | CSTOPB, 0), settings);
    EXPECT_EQ(state.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(state.c_ospeed, 256000u);
    EXPECT_EQ(state.c_cflag & CBAUD, static_cast<tcflag_t>(BOTHER));
}

TEST(SerialLineState, FlowControlFlagsSetAndClearHandshakes)
{
    PortSettings settings;
    settings.FlowCtrl = 6;
    termios2 state = serialLineState(lineWith(CS8, 0), settings);
    EXPECT_NE(state.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(state.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));

    settings.FlowCtrl = 1; // DTR/DSR is watched by the writer, not by the line
    state = serialLineState(lineWith(CS8 | CRTSCTS, IXON | IXOFF | IXANY), settings);
    EXPECT_EQ(state.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(state.c_iflag & (IXON | IXOFF | IXANY), 0u);
}
