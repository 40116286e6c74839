#pragma once

#include "ports/BufferQuery.h"
#include "ports/CPlotPort.h"

// The conversation of an open port with its device: requests go out at once, outside the blocks of the
// pass, and replies come back through the same connection. The message step runs between waits.
class CPlotPort::Line final : public DeviceLine {
public:
    explicit Line(CPlotPort& port) : port_(port) {}

    bool sendRequest(std::string_view bytes) override;
    long receive(char* into, std::size_t size, int waitMs) override;
    bool keepGoing() override;

private:
    CPlotPort& port_;
};
