// Uses the kernel's termios2 and so cannot include <termios.h>.
#include "ports/SerialLineState.h"
#include "ports/PortSettings.h"

#include <gtest/gtest.h>

// A pseudo-terminal cannot hold parity or data bits, so these are checked on the computed state.
TEST(SerialLineState, ParityAndDataBitsFollowTheSettingsAndUnusableValuesKeepTheLine)
{
    termios2 current{};
    current.c_cflag = CS6 | CSTOPB | PARENB | BOTHER;
    current.c_ospeed = current.c_ispeed = 19200;
    current.c_oflag = OPOST | ONLCR;
    struct Case {
        std::uint16_t parityCode, dataWidth, stopBits;
        std::uint32_t rate;
        tcflag_t expectedCflag; // of PARENB | PARODD | CMSPAR | CSIZE | CSTOPB
        unsigned expectedRate;
    };
    const Case cases[] = {
        {0, 8, 0, 9600, CS8, 9600},
        {1, 7, 2, 128000, PARENB | PARODD | CS7 | CSTOPB, 128000},
        {2, 5, 0, 256000, PARENB | CS5, 256000},
        {3, 0x0107, 0, 9600, PARENB | PARODD | CMSPAR | CS7, 9600}, // only the low byte of the width counts
        {4, 8, 0, 9600, PARENB | CMSPAR | CS8, 9600},
        {65535, 4, 1, 0, CS6 | CSTOPB, 19200}, // none; 4 bits, 1.5 stop bits and rate 0 keep the line's
        {2, 9, 65535, 0, PARENB | CS6 | CSTOPB, 19200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parityCode);
        PortSettings settings;
        settings.OECheck = c.parityCode;
        settings.DataWidth = c.dataWidth;
        settings.StopBits = c.stopBits;
        settings.TranSpeed = c.rate;
        const termios2 state = serialLineState(current, settings);
        EXPECT_EQ(state.c_cflag & (PARENB | PARODD | CMSPAR | CSIZE | CSTOPB), c.expectedCflag);
        EXPECT_EQ(state.c_ospeed, c.expectedRate);
        EXPECT_NE(state.c_iflag & INPCK, 0u); // parity is checked whatever the parity
        EXPECT_EQ(state.c_oflag & OPOST, 0u); // bytes go out untranslated
    }
}
