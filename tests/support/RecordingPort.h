#pragma once

#include "ports/CPlotPort.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A port that keeps every Write call as one string, in order, and the bytes of each pass (each Open),
// and can be told to refuse to open. A write after the stop flag was raised is refused, as a real port
// refuses it.
class RecordingPort : public CPlotPort {
public:
    RecordingPort() : CPlotPort("/nonexistent/Port.INI") {}

    PortOpenResult Open(OutputMethod outMethod, MessageSteps, std::int32_t* stopFlag) override
    {
        method = static_cast<std::int32_t>(outMethod);
        if (!opens_)
            return PortOpenFailed;
        passes.emplace_back();
        stopFlag_ = stopFlag;
        *stopFlag_ = 0;
        return PortOpened;
    }

    std::int32_t Write(const char* text) override
    {
        if (onWrite)
            onWrite();
        if (stopFlag_ != nullptr && *stopFlag_ != 0)
            return 0;
        writes.emplace_back(text);
        if (!passes.empty())
            passes.back() += text;
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
    std::vector<std::string> passes;
    int closes = 0;
    std::int32_t method = -1;
    // Runs before every write, where the real port runs the message step.
    std::function<void()> onWrite;

private:
    bool opens_ = true;
    std::int32_t* stopFlag_ = nullptr;
};
