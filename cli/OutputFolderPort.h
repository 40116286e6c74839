#pragma once

#include "ports/CPlotPort.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The port of the unattended server. Named ports and paths behave as always; the File port, which would
// ask a person for a file name, writes each pass into the output folder instead, named after the plot
// file with the extension .out (the second and later passes of a copy as NAME.2.out, NAME.3.out, ...),
// never replacing a file the folder holds (see OutputNames). A pass is written under a temporary name and
// kept only once it has ended whole, its last block written and the file closed, so that a reader never
// sees half a pass; a pass cut short by a stop or by a failed write (a full disk) is thrown away. A pass
// that ended whole is held under a hidden name of its own (.NAME.out.held) until the copy's end has been
// journaled (publish), so that a program killed in between neither loses the copy nor delivers it twice:
// recoverHeldPasses settles what a kill left.
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
    // The output files of the copy's passes that ended whole, one a line: the names they get when published.
    std::string writtenOutput() const override;
    // Gives the passes held since the last publish their names.
    void publish();
    // At start-up: the passes a killed program held are given their names when the copy they belong to was
    // journaled as ended, and removed otherwise; passes cut short are removed. Returns what it did, one
    // line per file.
    std::vector<std::string> recoverHeldPasses(bool copyEnded) const;

    PortOpenResult Open(OutputMethod method, MessageSteps steps, std::int32_t* stopFlag) override;
    void Close() override;
    // A pass into the output folder is delivered when it appears under its name; one cut short never is.
    bool deliversPassesWhole() const override { return wholePasses_; }
    bool passDelivered() const override { return passDelivered_; }

private:
    void holdPass();

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
    // Whole passes waiting for publish: the hidden name, the name they get.
    std::vector<std::pair<std::string, std::string>> held_;
    bool wholePasses_ = false;
    bool passDelivered_ = false;
};
