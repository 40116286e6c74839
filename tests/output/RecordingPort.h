#pragma once

#include "ports/CPlotPort.h"

#include <cstdint>
#include <string>
#include <vector>

// A port that keeps every Write call as one string, in order, and can be told to refuse to open.
class RecordingPort : public CPlotPort {
public:
    RecordingPort() : CPlotPort("/nonexistent/Port.INI") {}

    std::int32_t Open(std::int32_t outMethod, void*, std::int32_t* stopFlag) override
    {
        method = outMethod;
        if (!opens_)
            return 0;
        stopFlag_ = stopFlag;
        *stopFlag_ = 0;
        return 1;
    }

    std::int32_t Write(const char* text) override
    {
        writes.emplace_back(text);
        return 1;
    }

    void Close() override
    {
        ++closes;
        if (stopFlag_ != nullptr)
            *stopFlag_ = 1;
        stopFlag_ = nullptr;
    }

    void refuseToOpen() { opens_ = false; }

    // The writes joined, for checks that do not care how the stream is split.
    std::string stream() const
    {
        std::string all;
        for (const std::string& w : writes)
            all += w;
        return all;
    }

    std::vector<std::string> writes;
    int closes = 0;
    std::int32_t method = -1;

private:
    bool opens_ = true;
    std::int32_t* stopFlag_ = nullptr;
};
