#pragma once

#include <cstddef>

// How far the copy in output is: which copy of how many, the bytes of its stream sent so far of all it
// will send, and the plotting time it was estimated at and has left.
struct CopyProgress {
    bool running = false; // false once the copy is over, sent or not
    int copy = 0;         // counted from 1
    int copies = 0;
    std::size_t bytesSent = 0;
    std::size_t bytesTotal = 0;
    double secondsTotal = 0;
    double secondsLeft = 0;

    // Whole per cent of the stream sent, 0 to 100.
    int percent() const
    {
        if (bytesTotal == 0)
            return running ? 0 : 100;
        return bytesSent >= bytesTotal ? 100 : static_cast<int>(bytesSent * 100 / bytesTotal);
    }
};
