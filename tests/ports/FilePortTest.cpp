#include "platform/CProfile.h"
#include "platform/Hooks.h"
#include "ports/CPlotPort.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>

namespace {

class FilePortTest : public ::testing::Test {
protected:
    void TearDown() override { platform::resetHooks(); }

    // Answers the Save-As question with the given path and remembers the question.
    void answerSaveAs(const std::string& path)
    {
        platform::Hooks hooks;
        hooks.saveFileName = [this,
                              path](const platform::SaveFileRequest& request) -> std::optional<std::string> {
            asked = request;
            return path;
        };
        platform::installHooks(hooks);
    }

    // Opens a port on the file with block writes, the message step running step.
    void openFile(CPlotPort& port, const std::string& target, std::function<void()> step)
    {
        platform::Hooks hooks;
        hooks.messageStep = std::move(step);
        platform::installHooks(hooks);
        port.SelectPort(target.c_str());
        ASSERT_EQ(port.Open(OutputMethod::Blocks, MessageSteps::Run, &stop), 1) << port.openError();
    }

    TempDir dir;
    std::string iniPath = dir.file("Port.INI");
    std::int32_t stop = 1;
    platform::SaveFileRequest asked;
};

} // namespace

TEST_F(FilePortTest, OtherNamesAreTruncatedAndTakeTheStringsOfAPassInBlocks)
{
    const std::string target = dir.write("out.plt", "old content that must go away");
    CPlotPort port(iniPath);
    int steps = 0;
    ASSERT_NO_FATAL_FAILURE(openFile(port, target, [&] { ++steps; }));
    EXPECT_EQ(port.Write("IN;SP1;\n"), 1);
    EXPECT_EQ(port.Write(""), 1);
    EXPECT_EQ(port.Write("PU0,0;PD10,10;\n"), 1);
    EXPECT_EQ(steps, 0); // nothing written yet: the strings wait for a block to fill
    EXPECT_EQ(TempDir::read(target), "");
    port.Close();
    EXPECT_EQ(steps, 1); // one write call, with the message step before it
    EXPECT_EQ(TempDir::read(target), "IN;SP1;\nPU0,0;PD10,10;\n");
}

// The stop command runs in the message step before a write call: that call and every later one send
// nothing, so the file holds exactly the blocks written before it.
TEST_F(FilePortTest, StopEndsABufferedPassAtTheNextWriteCall)
{
    const std::string target = dir.file("out.plt");
    CPlotPort port(iniPath);
    int steps = 0;
    ASSERT_NO_FATAL_FAILURE(openFile(port, target, [&] {
        if (++steps == 3)
            stop = 1;
    }));
    std::string stream;
    std::int32_t result = 1;
    for (int i = 0; result == 1 && i < 100000; ++i) {
        const std::string command = "PD" + std::to_string(i) + "," + std::to_string(2 * i) + ";";
        result = port.Write(command.c_str());
        stream += command;
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(port.Write("PU;"), 0);
    const std::string written = TempDir::read(target);
    EXPECT_EQ(written.size(), 2u * 64 * 1024);
    EXPECT_EQ(written, stream.substr(0, written.size()));

    // Ending the pass safely: the command the block boundary cut is completed before anything else.
    stop = 0;
    port.finishAfterStop(std::chrono::milliseconds(1000));
    EXPECT_EQ(port.Write("PU;"), 1);
    port.Close();
    const std::size_t commandEnd = stream.find(';', written.size() - 1) + 1;
    ASSERT_GT(commandEnd, written.size()) << "the block ended on a command boundary; the test needs a cut";
    EXPECT_EQ(TempDir::read(target), stream.substr(0, commandEnd) + "PU;");
}

// A file that can grow only so far (a full disk, a size limit): the bytes before the failing one are all
// in it, in order, however the blocks fell, and the write that fails ends the pass with its reason.
TEST_F(FilePortTest, PassEndingOnAWriteErrorKeepsEveryByteBeforeIt)
{
    const std::string target = dir.file("out.plt");
    constexpr rlim_t kLimit = 100000;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    if (saved.rlim_max != RLIM_INFINITY && saved.rlim_max < kLimit)
        GTEST_SKIP() << "file size limit too low";
    const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = kLimit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);

    CPlotPort port(iniPath);
    int stepsAtTheLimit = 0;
    ASSERT_NO_FATAL_FAILURE(openFile(port, target, [&] {
        if (std::filesystem::file_size(target) == kLimit && ++stepsAtTheLimit == 3)
            stop = 1;
    }));
    std::string stream;
    for (int i = 0; stream.size() < kLimit + 1000; ++i) {
        const std::string command = "PA" + std::to_string(i) + ",7;";
        EXPECT_EQ(port.Write(command.c_str()), 1);
        stream += command;
    }
    port.Close(); // the last bytes go out here and meet the limit
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedSignal);

    EXPECT_EQ(stop, 1);
    EXPECT_EQ(port.writeError(), std::strerror(EFBIG));
    EXPECT_EQ(TempDir::read(target), stream.substr(0, kLimit));
}

TEST_F(FilePortTest, FilePortAsksForANameAndRemembersItsFolder)
{
    CPlotPort cancelled(iniPath);
    cancelled.SelectPort("File");
    EXPECT_EQ(cancelled.Open(OutputMethod::Blocks, MessageSteps::Run, &stop),
              0); // the default hook answers "cancelled"
    EXPECT_FALSE(cancelled.openError().empty());

    CProfile portIni;
    portIni.setPath(iniPath.c_str());
    portIni.setString("PortInfo", "FilePath", "/earlier/folder/");
    const std::string chosen = dir.file("job.PLT");
    answerSaveAs(chosen);

    CPlotPort port(iniPath);
    port.SelectPort("file");
    ASSERT_EQ(port.Open(OutputMethod::Blocks, MessageSteps::Run, &stop), 1) << port.openError();
    EXPECT_EQ(asked.filter, "*.PLT");
    EXPECT_EQ(asked.defaultExtension, "PLT");
    EXPECT_EQ(asked.initialFolder, "/earlier/folder/");
    EXPECT_EQ(port.Write("IN;"), 1);
    port.Close();
    EXPECT_EQ(TempDir::read(chosen), "IN;");
    char stored[60];
    portIni.getString("PortInfo", "FilePath", stored, sizeof stored, "");
    EXPECT_EQ(stored, dir.path().string() + "/");
    EXPECT_EQ(portIni.getInt("PortInfo", "FlowCtrl", 0), 2); // all six keys are written

    // A folder too long for FilePath is not stored cut off, which would name another folder.
    const std::string longFolder = dir.file(std::string(70, 'd'));
    std::filesystem::create_directory(longFolder);
    answerSaveAs(longFolder + "/job.PLT");
    ASSERT_EQ(port.Open(OutputMethod::Blocks, MessageSteps::Skip, &stop), 1);
    EXPECT_STREQ(port.settings.FilePath, "");
}

TEST_F(FilePortTest, PermissionDeniedNamesTheOwningGroup)
{
    const std::string device = dir.write("ttyFake", "");
    chmod(device.c_str(), 0);
    CProfile portIni;
    portIni.setPath(iniPath.c_str());
    portIni.setString("PortMap", "COM1", device.c_str());
    CPlotPort port(iniPath);
    port.SelectPort("COM1");
    // Root may open anything; the open is made with an ordinary user's file access.
    const bool root = geteuid() == 0;
    if (root)
        setfsuid(65534);
    const PortOpenResult opened = port.Open(OutputMethod::Blocks, MessageSteps::Skip, &stop);
    if (root)
        setfsuid(0);
    if (opened == 1)
        GTEST_SKIP() << "file permissions are not enforced here";
    EXPECT_NE(port.openError().find("没有权限"), std::string::npos) << port.openError();
    EXPECT_NE(port.openError().find("用户组"), std::string::npos) << port.openError();
}
