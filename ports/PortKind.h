#pragma once

// What a port name stands for: 1..8 the serial ports COM1..COM8, 16..23 the parallel ports LPT1..LPT8,
// 0 the File port (any case), -1 any other name, which is opened as a path. Only upper-case COM and LPT
// count, and only the digits 1 to 8: lpt1, COM9 and COM10 are paths.
int classifyPortName(const char* name);

constexpr int kFilePort = 0;
constexpr int kOtherPort = -1;
constexpr int kFirstParallelPort = 16;

inline bool isSerialPort(int portNumber) { return portNumber >= 1 && portNumber <= 8; }
inline bool isParallelPort(int portNumber)
{
    return portNumber >= kFirstParallelPort && portNumber < kFirstParallelPort + 8;
}
