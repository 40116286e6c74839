#include "platform/Hooks.h"
#include "plotdata/CProfile.h"
#include "ports/CPlotPort.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

int window;

class FilePortTest : public ::testing::Test {
protected:
    void TearDown() override { platform::resetHooks(); }

    TempDir dir;
    std::string iniPath = dir.file("Port.INI");
    std::int32_t stop = 1;
};

} // namespace

TEST_F(FilePortTest, OtherNamesAreTruncatedAndWrittenWhole)
{
    const std::string target = dir.write("out.plt", "old content that must go away");
    CPlotPort port(iniPath);
    port.SelectPort(target.c_str());
    int steps = 0;
    platform::Hooks hooks;
    hooks.messageStep = [&] { ++steps; };
    platform::installHooks(hooks);
    ASSERT_EQ(port.Open(2, &window, &stop), 1) << port.openError();
    EXPECT_EQ(port.Write("IN;SP1;\n"), 1);
    EXPECT_EQ(port.Write(""), 1);
    EXPECT_EQ(port.Write("PU0,0;PD10,10;\n"), 1);
    EXPECT_EQ(steps, 2); // one write call per string, the message step before each
    port.Close();
    EXPECT_EQ(TempDir::read(target), "IN;SP1;\nPU0,0;PD10,10;\n");
}

TEST_F(FilePortTest, NamesThatAreNotPortsOpenAsPathsInTheCurrentFolder)
{
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    for (const char* name : {"lpt1", "COM9", "COM0", "COM10", "LPT9"}) {
        CPlotPort port(iniPath);
        port.SelectPort(name);
        EXPECT_EQ(port.Open(1, nullptr, &stop), 1) << name << ": " << port.openError();
        EXPECT_EQ(port.Write("PA;"), 1);
        port.Close();
        EXPECT_EQ(TempDir::read(dir.file(name)), "PA;") << name;
    }
    std::filesystem::current_path(previous);
}

TEST_F(FilePortTest, StopFlagEndsAFileWrite)
{
    CPlotPort port(iniPath);
    port.SelectPort(dir.file("out.plt").c_str());
    ASSERT_EQ(port.Open(2, &window, &stop), 1);
    stop = 1;
    EXPECT_EQ(port.Write("IN;"), 0);
    port.Close();
    EXPECT_EQ(TempDir::read(dir.file("out.plt")), "");
}

TEST_F(FilePortTest, FilePortAsksForANameAndRemembersItsFolder)
{
    CProfile portIni;
    portIni.setPath(iniPath.c_str());
    portIni.setString("PortInfo", "FilePath", "/earlier/folder/");
    portIni.setInt("PortInfo", "TranSpeed", 19200);

    platform::SaveFileRequest asked;
    const std::string chosen = dir.file("job.PLT");
    platform::Hooks hooks;
    hooks.saveFileName = [&](const platform::SaveFileRequest& request) -> std::optional<std::string> {
        asked = request;
        return chosen;
    };
    platform::installHooks(hooks);

    CPlotPort port(iniPath);
    port.SelectPort("file");
    ASSERT_EQ(port.Open(2, &window, &stop), 1) << port.openError();
    EXPECT_EQ(asked.filter, "*.PLT");
    EXPECT_EQ(asked.initialName, "*.PLT");
    EXPECT_EQ(asked.defaultExtension, "PLT");
    EXPECT_EQ(asked.initialFolder, "/earlier/folder/");
    EXPECT_EQ(port.Write("IN;"), 1);
    port.Close();
    EXPECT_EQ(TempDir::read(chosen), "IN;");

    const std::string folder = dir.path().string() + "/";
    EXPECT_STREQ(port.settings.FilePath, folder.c_str());
    char stored[60];
    portIni.getString("PortInfo", "FilePath", stored, sizeof stored, "");
    EXPECT_STREQ(stored, folder.c_str());
    EXPECT_EQ(portIni.getInt("PortInfo", "TranSpeed", 0), 19200); // the other keys are written back as loaded
}

TEST_F(FilePortTest, FolderTooLongForFilePathIsNotRememberedCutOff)
{
    const std::string longFolder = dir.file(std::string(70, 'd'));
    std::filesystem::create_directory(longFolder);
    platform::Hooks hooks;
    hooks.saveFileName = [&](const platform::SaveFileRequest&) -> std::optional<std::string> {
        return longFolder + "/job.PLT";
    };
    platform::installHooks(hooks);
    CPlotPort port(iniPath);
    port.SelectPort("File");
    ASSERT_EQ(port.Open(2, nullptr, &stop), 1);
    EXPECT_STREQ(port.settings.FilePath, "");
}

TEST_F(FilePortTest, CancelledSaveAsFailsTheOpenAndLaterWritesSendNothing)
{
    CPlotPort port(iniPath);
    port.SelectPort("File");
    EXPECT_EQ(port.Open(2, &window, &stop), 0); // the default hook answers "cancelled"
    EXPECT_FALSE(port.openError().empty());
    EXPECT_EQ(port.Write("IN;"), 1);
    EXPECT_FALSE(std::filesystem::exists(iniPath));
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
    // Root may open anything; file access is checked as an ordinary user for the open.
    const bool root = geteuid() == 0;
    if (root)
        setfsuid(65534);
    const std::int32_t opened = port.Open(2, nullptr, &stop);
    if (root)
        setfsuid(0);
    if (opened == 1)
        GTEST_SKIP() << "file permissions are not enforced here";
    EXPECT_NE(port.openError().find("permission denied"), std::string::npos) << port.openError();
    EXPECT_NE(port.openError().find("group"), std::string::npos) << port.openError();
}
