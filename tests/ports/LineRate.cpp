// Kept apart: the kernel's termios2 cannot share a file with <termios.h>.
#include "LineRate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

unsigned lineRate(int fd)
{
    termios2 state{};
    if (ioctl(fd, TCGETS2, &state) != 0)
        return 0;
    return state.c_ospeed;
}
