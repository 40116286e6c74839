#pragma once

#include "ports/CPlotPort.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The port of the unattended server. Named ports and paths behave as always; the File port, which would
// ask a person for a file name, writes each pass into the output folder instead, named after the plot
// file with the extension .out (the second and later passes of a copy as NAME.2.out, NAME.3.out, ...),
// never replacing a file the folder holds (see OutputNames). A pass is written under a temporary name and
// renamed only once it has ended whole, its last block written and the file closed, so that a reader
// never sees half a pass; a pass cut short by a stop or by a failed write (a full disk) is thrown away.
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
        copyBase_.clear();
        copyOutputs_.clear();
        lastOutput_.clear();
    }
    // The output file of the copy's last pass that ended whole; empty when none has.
    const std::string& lastOutput() const { return lastOutput_; }
    // The output files of the copy's passes that ended whole, one a line.
    std::string writtenOutput() const override;

    PortOpenResult Open(OutputMethod method, MessageSteps steps, std::int32_t* stopFlag) override;
    void Close() override;

private:
    void placePass();

    std::string outputFolder_;
    std::function<std::string()> plotFile_;
    std::int32_t* stopFlag_ = nullptr;
    int passes_ = 0;
    std::string stem_;
    // The name the copy's first pass took, without .out; the later passes are named after it.
    std::string copyBase_;
    std::string passTemporary_;
    std::string lastOutput_;
    std::vector<std::string> copyOutputs_;
};
