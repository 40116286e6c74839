#pragma once

// The kernel's own termios2 interface sets any rate, including 128000 and 256000, which the C library's
// speed constants cannot express. It cannot be mixed with <termios.h>: include this header only where
// <termios.h> is not needed.
#include <asm/termbits.h>

struct PortSettings;

// The line state for the Port.INI settings, built from the line's current state, in this order:
// XON/XOFF, rate, data bits, parity, stop bits, RTS/CTS. Output is raw, so every byte reaches the device
// as written. A setting the line cannot take (a zero rate, data bits outside 5..8, one and a half stop
// bits, an unknown stop-bit code) keeps the current setting.
termios2 serialLineState(const termios2& current, const PortSettings& settings);
