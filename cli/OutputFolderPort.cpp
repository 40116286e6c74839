#include "cli/OutputFolderPort.h"

#include "cli/OutputNames.h"
#include "platform/PathMapping.h"
#include "ports/PortKind.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

OutputFolderPort::OutputFolderPort(const std::string& settingsPath, std::string outputFolder,
                                   std::function<std::string()> plotFile)
    : CPlotPort(settingsPath), outputFolder_(std::move(outputFolder)), plotFile_(std::move(plotFile))
{
}

std::optional<std::string> OutputFolderPort::answerFileName() const
{
    if (passTemporary_.empty())
        return std::nullopt;
    return passTemporary_;
}

std::string OutputFolderPort::writtenOutput() const
{
    std::string lines;
    for (const std::string& output : copyOutputs_)
        lines += (lines.empty() ? "" : "\n") + output;
    return lines;
}

PortOpenResult OutputFolderPort::Open(OutputMethod method, MessageSteps steps, std::int32_t* stopFlag)
{
    // A pass left open ends here, before the names of the new one are set.
    Close();
    stopFlag_ = stopFlag;
    if (classifyPortName(portName()) == kFilePort) {
        // The job's path may be in Windows form; only its file name counts here.
        if (passes_ == 0)
            stem_ = outputnames::stemOf(platform::toFileSystemPath(plotFile_()));
        ++passes_;
        const std::string pass = passes_ > 1 ? "." + std::to_string(passes_) : std::string();
        passTemporary_ = (fs::path(outputFolder_) / ("." + stem_ + pass + ".out.part")).string();
    }
    const PortOpenResult opened = CPlotPort::Open(method, steps, stopFlag);
    if (opened == PortOpenFailed)
        passTemporary_.clear();
    return opened;
}

void OutputFolderPort::Close()
{
    // The flag is still down when the pass ran to its end; the base raises it. A stopped pass lowers it
    // again to send its closing commands, and is no whole pass either. Whether the pass is whole is known
    // only once the base has written its last block and closed the file: a full disk says so then.
    const bool stopped = (stopFlag_ != nullptr && *stopFlag_ != 0) || passWasStopped();
    CPlotPort::Close();
    stopFlag_ = nullptr;
    if (passTemporary_.empty())
        return;
    if (!stopped && writeError().empty())
        placePass();
    std::error_code error;
    fs::remove(passTemporary_, error);
    passTemporary_.clear();
}

// The first pass of a copy takes the first free name after the plot file; the later ones are named after
// the name it took.
void OutputFolderPort::placePass()
{
    const std::string base = copyBase_.empty() ? stem_ : copyBase_ + "." + std::to_string(passes_);
    std::string chosen;
    const std::optional<std::string> placed =
        outputnames::moveToFreeName(passTemporary_, outputFolder_, base, ".out", chosen);
    if (!placed) {
        failWith("cannot name the output file after " + base + ".out: " + std::strerror(errno));
        return;
    }
    if (copyBase_.empty())
        copyBase_ = chosen;
    lastOutput_ = *placed;
    copyOutputs_.push_back(*placed);
}
