#include "cli/OutputFolderPort.h"

#include "platform/PathMapping.h"
#include "ports/PortKind.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr const char* HELD = ".held";
constexpr const char* PART = ".part";

// NAME.out is held as .NAME.out.held.
std::string heldPath(const std::string& output)
{
    const fs::path path(output);
    return (path.parent_path() / ("." + path.filename().string() + HELD)).string();
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

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
    passDelivered_ = false;
    wholePasses_ = classifyPortName(portName()) == kFilePort;
    if (wholePasses_) {
        // The job's path may be in Windows form; only its file name counts here.
        std::string stem = fs::path(platform::toFileSystemPath(plotFile_())).stem().string();
        if (stem.empty())
            stem = "plot";
        ++passes_;
        const std::string name = passes_ > 1 ? stem + "." + std::to_string(passes_) + ".out" : stem + ".out";
        passOutput_ = (fs::path(outputFolder_) / name).string();
        passTemporary_ = (fs::path(outputFolder_) / ("." + name + PART)).string();
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
        const std::string heldName = heldPath(passOutput_);
        fs::rename(passTemporary_, heldName, error);
        if (!error)
            held_.emplace_back(heldName, passOutput_);
        passDelivered_ = !error;
    }
    if (!whole || error)
        fs::remove(passTemporary_, error);
    passTemporary_.clear();
}

void OutputFolderPort::publish()
{
    for (const auto& [heldName, output] : held_) {
        std::error_code error;
        fs::rename(heldName, output, error);
        if (!error)
            lastOutput_ = output;
    }
    held_.clear();
}

std::vector<std::string> OutputFolderPort::recoverHeldPasses(bool copyEnded) const
{
    std::vector<std::string> done;
    std::error_code error;
    for (fs::directory_iterator entries(outputFolder_, error); !error && entries != fs::directory_iterator();
         entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (name.front() != '.')
            continue;
        std::error_code fileError;
        if (endsWith(name, std::string(".out") + HELD) && copyEnded) {
            const std::string output = name.substr(1, name.size() - 1 - std::string(HELD).size());
            fs::rename(entries->path(), entries->path().parent_path() / output, fileError);
            if (!fileError)
                done.push_back("output of the last copy, held when the server ended, delivered: " + output);
        } else if (endsWith(name, std::string(".out") + HELD) || endsWith(name, std::string(".out") + PART)) {
            if (fs::remove(entries->path(), fileError))
                done.push_back("deleted output left unfinished when the server ended: " +
                               entries->path().string());
        }
    }
    return done;
}
