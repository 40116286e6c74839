#include "plotdata/CProfile.h"
#include "ports/CPlotPort.h"
#include "ports/PortNames.h"

#include "PseudoTerminal.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(PortSettings, MissingFileGivesDefaults)
{
    TempDir dir;
    CPlotPort port(dir.file("Port.INI"));
    EXPECT_STREQ(port.settings.FilePath, "");
    EXPECT_EQ(port.settings.OECheck, 0);
    EXPECT_EQ(port.settings.TranSpeed, 9600u);
    EXPECT_EQ(port.settings.StopBits, 0);
    EXPECT_EQ(port.settings.DataWidth, 8);
    EXPECT_EQ(port.settings.FlowCtrl, 2);
}

TEST(PortSettings, LoadsNarrowedFieldsAndSavesAllSixKeysInOrder)
{
    TempDir dir;
    const std::string path = dir.write("Port.INI", "[PortInfo]\nFlowCtrl=5\nOECheck=-1\nStopBits=65535\n"
                                                   "TranSpeed=115200\nDataWidth=7\nFilePath=/home/op/out/\n");
    CPlotPort port(path);
    EXPECT_EQ(port.settings.OECheck, 65535); // a list without a selection stored -1
    EXPECT_EQ(port.settings.StopBits, 65535);
    EXPECT_EQ(port.settings.TranSpeed, 115200u);
    EXPECT_EQ(port.settings.DataWidth, 7);
    EXPECT_EQ(port.settings.FlowCtrl, 5);
    EXPECT_STREQ(port.settings.FilePath, "/home/op/out/");

    TempDir other;
    const std::string fresh = other.file("Port.INI");
    CPlotPort copy(fresh);
    copy.settings = port.settings;
    copy.SaveSettings();
    const std::string text = TempDir::read(fresh);
    std::size_t last = 0;
    for (const char* key : {"FilePath=/home/op/out/", "OECheck=65535", "TranSpeed=115200", "StopBits=65535",
                            "DataWidth=7", "FlowCtrl=5"}) {
        const std::size_t at = text.find(key);
        ASSERT_NE(at, std::string::npos) << key << " in\n" << text;
        EXPECT_GT(at, last) << key;
        last = at;
    }
}

TEST(PortSettings, SelectPortReloadsTheFile)
{
    TempDir dir;
    const std::string path = dir.file("Port.INI");
    CPlotPort port(path);
    CProfile file;
    file.setPath(path.c_str());
    file.setInt("PortInfo", "TranSpeed", 38400);
    EXPECT_EQ(port.settings.TranSpeed, 9600u);
    port.SelectPort("COM1");
    EXPECT_EQ(port.settings.TranSpeed, 38400u);
    EXPECT_STREQ(port.portName(), "COM1");
}

namespace {
bool hasEntryStartingWith(const std::vector<std::string>& entries, const std::string& prefix)
{
    return std::any_of(entries.begin(), entries.end(),
                       [&](const std::string& entry) { return entry.rfind(prefix, 0) == 0; });
}
} // namespace

TEST(PortSettings, NameListShowsTheMappedDeviceAndHonoursTheEdition)
{
    PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    TempDir dir;
    const std::string path =
        dir.write("Port.INI", "[PortMap]\nCOM1=" + line.slavePath() + "\nCOM2=/nonexistent/ttyUSB9\n"
                              "LPT1=/nonexistent/lp0\n");
    CProfile portIni;
    portIni.setPath(path.c_str());

    const std::vector<std::string> entries = listPortNames(0, portIni);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front(), "COM1  " + line.slavePath());
    EXPECT_FALSE(hasEntryStartingWith(entries, "COM2")); // mapped to a device that is not there
    EXPECT_FALSE(hasEntryStartingWith(entries, "LPT1"));
    EXPECT_EQ(entries.back(), "File");

    const std::vector<std::string> lunetto = listPortNames(kEditionWithoutFileOutput, portIni);
    EXPECT_EQ(lunetto.front(), entries.front());
    EXPECT_FALSE(hasEntryStartingWith(lunetto, "LPT"));
    EXPECT_FALSE(hasEntryStartingWith(lunetto, "File"));
}
