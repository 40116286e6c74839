#include "cli/OutputFolderPort.h"

#include "cli/OutputNames.h"
#include "platform/PathMapping.h"
#include "ports/PortKind.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr const char* OUT = ".out";
constexpr const char* HELD = ".held";
constexpr const char* PART = ".part";

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
    passDelivered_ = false;
    wholePasses_ = classifyPortName(portName()) == kFilePort;
    if (wholePasses_) {
        // The job's path may be in Windows form; only its file name counts here.
        if (passes_ == 0)
            stem_ = outputnames::stemOf(platform::toFileSystemPath(plotFile_()));
        ++passes_;
        const std::string pass = passes_ > 1 ? "." + std::to_string(passes_) : std::string();
        passTemporary_ = (fs::path(outputFolder_) / ("." + stem_ + pass + OUT + PART)).string();
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
        holdPass();
    std::error_code error;
    fs::remove(passTemporary_, error);
    passTemporary_.clear();
}

// The first pass of a copy takes the first free name after the plot file; the later ones are named after
// the name it took. The name is chosen now, so that the journal records it with the copy's end.
void OutputFolderPort::holdPass()
{
    const std::string base = copyBase_.empty() ? stem_ : copyBase_ + "." + std::to_string(passes_);
    std::string chosen;
    const std::optional<std::string> heldName =
        outputnames::holdUnderFreeName(passTemporary_, outputFolder_, base, OUT, HELD, chosen);
    if (!heldName) {
        failWith("cannot name the output file after " + base + OUT + ": " + std::strerror(errno));
        return;
    }
    if (copyBase_.empty())
        copyBase_ = chosen;
    const std::string output = (fs::path(outputFolder_) / (chosen + OUT)).string();
    held_.emplace_back(*heldName, output);
    copyOutputs_.push_back(output);
    passDelivered_ = true;
}

void OutputFolderPort::publish()
{
    for (const auto& [heldName, output] : held_) {
        // The name was free when the pass was held; a file put there since is not replaced.
        std::string chosen;
        const std::string base = fs::path(output).stem().string();
        if (const auto placed = outputnames::moveToFreeName(heldName, outputFolder_, base, OUT, chosen))
            lastOutput_ = *placed;
    }
    held_.clear();
}

std::vector<std::string> OutputFolderPort::recoverHeldPasses(bool copyEnded) const
{
    std::vector<std::string> done;
    std::error_code error;
    const std::string heldEnd = std::string(OUT) + HELD;
    for (fs::directory_iterator entries(outputFolder_, error); !error && entries != fs::directory_iterator();
         entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (name.front() != '.')
            continue;
        std::error_code fileError;
        if (endsWith(name, heldEnd) && copyEnded) {
            const std::string base = name.substr(1, name.size() - 1 - heldEnd.size());
            std::string chosen;
            if (const auto placed =
                    outputnames::moveToFreeName(entries->path().string(), outputFolder_, base, OUT, chosen))
                done.push_back("output of the last copy, held when the server ended, delivered: " +
                               fs::path(*placed).filename().string());
        } else if (endsWith(name, heldEnd) || endsWith(name, std::string(OUT) + PART)) {
            if (fs::remove(entries->path(), fileError))
                done.push_back("deleted output left unfinished when the server ended: " +
                               entries->path().string());
        }
    }
    return done;
}
