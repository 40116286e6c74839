#pragma once

#include <cstddef>
#include <cstdint>

// Watches what a pass sends without changing it: where the pen is told to go, and the bytes written to
// the port. The device tells it a point before the bytes that carry it, which a compact form may hold back
// for a while.
class EmissionObserver {
public:
    virtual ~EmissionObserver() = default;
    // The pen goes to (x, y) in device units, as sent: lowered (a line) or lifted (a move).
    virtual void penTo(bool down, std::int32_t x, std::int32_t y) = 0;
    // bytes went to the port, holding that many device instructions.
    virtual void written(std::size_t bytes, int instructions) = 0;
};
