#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ShippedProfiles.h"
#include "output/CPlotterDevice.h"

namespace {

bool isAscii(const std::string& text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

class ShippedProfile : public testing::TestWithParam<const char*> {};

} // namespace

TEST_P(ShippedProfile, EveryListedDeviceLoadsWithWorkingTemplates)
{
    const std::string fileName = GetParam();
    CProfile profile;
    profile.setPath(shippedProfilePath(fileName).c_str());
    const std::vector<std::string> devices = keyNames(profile, "CutterDevices");
    ASSERT_GE(devices.size(), 5u);

    bool penPlotter = false, deviceCorrects = false, programCorrects = false;
    int otherLanguages = 0;
    for (const std::string& name : devices) {
        SCOPED_TRACE(name);
        EXPECT_EQ(isAscii(name), fileName.find("_Eng") != std::string::npos);
        CPlotterDevice device;
        device.loadProfile(profile, name.c_str());
        ASSERT_NE(device.sectionName[0], '\0');
        EXPECT_FALSE(keyNames(profile, device.sectionName).empty()) << "no section " << device.sectionName;
        for (CommandTemplate t : {CommandTemplate::InitCmd, CommandTemplate::MoveTo, CommandTemplate::LineTo,
                                  CommandTemplate::LineToEx})
            EXPECT_NE(device.command(t)[0], '\0') << commandTemplateInfo(t).key;
        // A template that is present in the file but loaded empty did not fit or failed the format check.
        for (int t = 0; t < kCommandTemplateCount; ++t) {
            const char* key = commandTemplateInfo(static_cast<CommandTemplate>(t)).key;
            char raw[200];
            profile.getString(device.sectionName, key, raw, sizeof raw, "");
            EXPECT_EQ(raw[0] == '\0', device.templates[t][0] == '\0') << key << " refused";
        }
        EXPECT_GT(device.RS, 0.0f);

        const bool hpgl = std::strncmp(device.command(CommandTemplate::MoveTo), "PU", 2) == 0;
        penPlotter |= hpgl && device.PenMode != 0;
        deviceCorrects |= hpgl && device.PenMode == 0 && device.HardOffset != 0;
        programCorrects |=
            hpgl && device.PenMode == 0 && device.HardOffset == 0 && device.penOffsets[0] > 0.0f;
        otherLanguages += hpgl ? 0 : 1;
    }
    EXPECT_TRUE(penPlotter);
    EXPECT_TRUE(deviceCorrects);
    EXPECT_TRUE(programCorrects);
    EXPECT_GE(otherLanguages, 2);

    // A fresh install selects the HP-GL pen plotter.
    char selected[80];
    profile.getString("CutInfo", "Device", selected, sizeof selected, "");
    CPlotterDevice device;
    device.loadProfile(profile, selected);
    EXPECT_STREQ(device.command(CommandTemplate::MoveTo), "PU%d,%d;");
    EXPECT_NE(device.PenMode, 0);
    EXPECT_EQ(device.Handshake, 0);
    EXPECT_EQ(device.Compact, 0);

    // The same plotter paced by its buffer query, under its name in the file's language.
    CPlotterDevice paced;
    const bool english = fileName.find("_Eng") != std::string::npos;
    paced.loadProfile(profile, english ? "HP-GL pen plotter (buffer query)" : "HP-GL 绘图仪(缓冲查询)");
    EXPECT_EQ(paced.Handshake, 1);
    EXPECT_STREQ(paced.command(CommandTemplate::MoveTo), "PU%d,%d;");
    EXPECT_NE(paced.PenMode, 0);
    EXPECT_EQ(paced.Compact, 0);

    // The same plotter sent coordinate lists, and an HP-GL/2 plotter sent encoded polylines.
    CPlotterDevice compact;
    compact.loadProfile(profile, english ? "HP-GL pen plotter (compact)" : "HP-GL 绘图仪(紧凑)");
    EXPECT_EQ(compact.Compact, 1);
    EXPECT_EQ(compact.Handshake, 0);
    CPlotterDevice encoded;
    encoded.loadProfile(profile, english ? "HP-GL/2 plotter (encoded)" : "HP-GL/2 绘图仪(编码)");
    EXPECT_EQ(encoded.Compact, 2);
    EXPECT_NE(encoded.PenMode, 0);
}

INSTANTIATE_TEST_SUITE_P(AllEditions, ShippedProfile, testing::ValuesIn(kShippedProfileFiles),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });
