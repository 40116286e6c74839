#include "platform/CProfile.h"
#include "ports/CPlotPort.h"
#include "ports/PortNames.h"

#include "PseudoTerminal.h"
#include "TempDir.h"

#include <gtest/gtest.h>

TEST(PortSettings, LoadsDefaultsAndNarrowedFieldsAndSavesTheSixKeysInOrder)
{
    TempDir dir;
    CPlotPort fresh(dir.file("missing.INI"));
    EXPECT_EQ(fresh.settings.TranSpeed, 9600u);
    EXPECT_EQ(fresh.settings.DataWidth, 8);
    EXPECT_EQ(fresh.settings.FlowCtrl, 2);

    const std::string path = dir.write("Port.INI", "[PortInfo]\nFlowCtrl=5\nOECheck=-1\nStopBits=2\n"
                                                   "TranSpeed=115200\nDataWidth=7\nFilePath=/home/op/out/\n");
    CPlotPort port(path);
    EXPECT_EQ(port.settings.OECheck, 65535); // a parity list without a selection stored -1
    EXPECT_EQ(port.settings.TranSpeed, 115200u);

    fresh.SelectPort("COM1"); // reloads from its own file: still the defaults
    EXPECT_EQ(fresh.settings.TranSpeed, 9600u);
    fresh.settings = port.settings;
    fresh.SaveSettings();
    const std::string text = TempDir::read(dir.file("missing.INI"));
    std::size_t last = 0;
    for (const char* key : {"FilePath=/home/op/out/", "OECheck=65535", "TranSpeed=115200", "StopBits=2",
                            "DataWidth=7", "FlowCtrl=5"}) {
        const std::size_t at = text.find(key);
        ASSERT_NE(at, std::string::npos) << key << " in\n" << text;
        EXPECT_GE(at, last) << key;
        last = at;
    }
    CProfile file;
    file.setPath(path.c_str());
    file.setInt("PortInfo", "TranSpeed", 38400);
    port.SelectPort("COM1");
    EXPECT_EQ(port.settings.TranSpeed, 38400u); // each selection reloads the file
}

TEST(PortSettings, NameListShowsTheMappedDeviceAndHonoursTheEdition)
{
    PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    TempDir dir;
    const std::string path =
        dir.write("Port.INI", "[PortMap]\nCOM1=" + line.slavePath() +
                                  "\nCOM2=/nonexistent/ttyUSB9\nLPT1=/nonexistent/lp0\n");
    CProfile portIni;
    portIni.setPath(path.c_str());
    const auto startsWith = [](const std::vector<std::string>& entries, const std::string& prefix) {
        return std::count_if(entries.begin(), entries.end(),
                             [&](auto& e) { return e.rfind(prefix, 0) == 0; });
    };

    const std::vector<std::string> entries = listPortNames(0, portIni);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front(), "COM1  " + line.slavePath());
    EXPECT_EQ(startsWith(entries, "COM2"), 0); // mapped to a device that is not there
    EXPECT_EQ(startsWith(entries, "LPT1"), 0);
    EXPECT_EQ(entries.back(), "File");

    const std::vector<std::string> lunetto = listPortNames(kEditionWithoutFileOutput, portIni);
    EXPECT_EQ(lunetto.front(), entries.front());
    EXPECT_EQ(startsWith(lunetto, "LPT") + startsWith(lunetto, "File"), 0);
}
