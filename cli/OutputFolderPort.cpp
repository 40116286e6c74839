#include "cli/OutputFolderPort.h"

#include "platform/PathMapping.h"
#include "ports/PortKind.h"

#include <cstdio>
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

PortOpenResult OutputFolderPort::Open(OutputMethod method, MessageSteps steps, std::int32_t* stopFlag)
{
    // A pass left open ends here, before the names of the new one are set.
    Close();
    stopFlag_ = stopFlag;
    if (classifyPortName(portName()) == kFilePort) {
        // The job's path may be in Windows form; only its file name counts here.
        std::string stem = fs::path(platform::toFileSystemPath(plotFile_())).stem().string();
        if (stem.empty())
            stem = "plot";
        ++passes_;
        const std::string name = passes_ > 1 ? stem + "." + std::to_string(passes_) + ".out" : stem + ".out";
        passOutput_ = (fs::path(outputFolder_) / name).string();
        passTemporary_ = (fs::path(outputFolder_) / ("." + name + ".part")).string();
    }
    const PortOpenResult opened = CPlotPort::Open(method, steps, stopFlag);
    if (opened == PortOpenFailed)
        passTemporary_.clear();
    return opened;
}

void OutputFolderPort::Close()
{
    // The flag is still down when the pass ran to its end; the base raises it. A stopped pass lowers it
    // again to send its closing commands, and is no whole pass either.
    const bool whole = (stopFlag_ == nullptr || *stopFlag_ == 0) && !passWasStopped();
    CPlotPort::Close();
    stopFlag_ = nullptr;
    if (passTemporary_.empty())
        return;
    std::error_code error;
    if (whole) {
        fs::rename(passTemporary_, passOutput_, error);
        if (!error)
            lastOutput_ = passOutput_;
    }
    if (!whole || error)
        fs::remove(passTemporary_, error);
    passTemporary_.clear();
}
