#pragma once

#include "ports/CPlotPort.h"

#include <functional>
#include <optional>
#include <string>

// The port of the unattended server. Named ports and paths behave as always; the File port, which would
// ask a person for a file name, writes each pass into the output folder instead, named after the plot
// file with the extension .out (the second and later passes of a copy as NAME.2.out, NAME.3.out, ...).
// A pass is written under a temporary name and renamed when it ends, so that a reader never sees half a
// pass; a pass cut short by a stop is thrown away.
class OutputFolderPort : public CPlotPort {
public:
    // plotFile names the plot file whose copy is going out, empty when none.
    OutputFolderPort(const std::string& settingsPath, std::string outputFolder,
                     std::function<std::string()> plotFile);

    // The File port's question for a file name: the temporary name of the pass being opened.
    std::optional<std::string> answerFileName() const;
    // The next pass belongs to a new copy.
    void beginCopy()
    {
        passes_ = 0;
        lastOutput_.clear();
    }
    // The output file of the copy's last pass that ended whole; empty when none has.
    const std::string& lastOutput() const { return lastOutput_; }

    PortOpenResult Open(OutputMethod method, MessageSteps steps, std::int32_t* stopFlag) override;
    void Close() override;

private:
    std::string outputFolder_;
    std::function<std::string()> plotFile_;
    std::int32_t* stopFlag_ = nullptr;
    int passes_ = 0;
    std::string passOutput_;
    std::string passTemporary_;
    std::string lastOutput_;
};
