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

    TempDir dir;
    std::string iniPath = dir.file("Port.INI");
    std::int32_t stop = 1;
    platform::SaveFileRequest asked;
};

} // namespace

TEST_F(FilePortTest, OtherNamesAreTruncatedAndWrittenOneCallPerString)
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
    EXPECT_EQ(steps, 2); // the message step before each of the two write calls
    stop = 1;
    EXPECT_EQ(port.Write("PA;"), 0);
    port.Close();
    EXPECT_EQ(TempDir::read(target), "IN;SP1;\nPU0,0;PD10,10;\n");
}

TEST_F(FilePortTest, FilePortAsksForANameAndRemembersItsFolder)
{
    CPlotPort cancelled(iniPath);
    cancelled.SelectPort("File");
    EXPECT_EQ(cancelled.Open(2, &window, &stop), 0); // the default hook answers "cancelled"
    EXPECT_FALSE(cancelled.openError().empty());

    CProfile portIni;
    portIni.setPath(iniPath.c_str());
    portIni.setString("PortInfo", "FilePath", "/earlier/folder/");
    const std::string chosen = dir.file("job.PLT");
    answerSaveAs(chosen);

    CPlotPort port(iniPath);
    port.SelectPort("file");
    ASSERT_EQ(port.Open(2, &window, &stop), 1) << port.openError();
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
    ASSERT_EQ(port.Open(2, nullptr, &stop), 1);
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
    const std::int32_t opened = port.Open(2, nullptr, &stop);
    if (root)
        setfsuid(0);
    if (opened == 1)
        GTEST_SKIP() << "file permissions are not enforced here";
    EXPECT_NE(port.openError().find("permission denied"), std::string::npos) << port.openError();
    EXPECT_NE(port.openError().find("group"), std::string::npos) << port.openError();
}
