#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "output/CPlotterDevice.h"
#include "platform/CProfile.h"

namespace {

// A device-profile file listing one device "Cutter A" whose profile lives in [SecA].
struct ProfileFile {
    TempDir dir;
    CProfile profile;

    explicit ProfileFile(const std::string& sectionBody, const std::string& extra = "")
    {
        std::string text = "[CutterDevices]\nCutter A=SecA\nB=SecB\n[SecA]\n" + sectionBody + "\n" + extra;
        profile.setPath(dir.write("Plotter.INI", text).c_str());
    }

    CPlotterDevice load() const
    {
        CPlotterDevice device;
        device.loadProfile(profile, "Cutter A");
        return device;
    }
};

} // namespace

TEST(DeviceProfile, ReadsTheListedSectionAndFallsBackToDefaults)
{
    ProfileFile file("MoveTo=PU%d,%d;\nRS=0.01\nMaxPen=2\nPen2Offset=0.7\n",
                     "[Cutter A]\nMoveTo=WRONG\n[SecB]\nMaxPen=1\n[CutInfo]\nSP2Dash=13\n");
    CPlotterDevice device = file.load();
    EXPECT_STREQ(device.sectionName, "SecA");
    EXPECT_STREQ(device.command(CommandTemplate::MoveTo), "PU%d,%d;");
    EXPECT_FLOAT_EQ(device.RS, 0.01f);
    EXPECT_FLOAT_EQ(device.penOffsets[2], 0.7f);
    // Dashed pens are found as digits in SP2Dash.
    for (int pen : {1, 3, 13})
        EXPECT_TRUE(device.isDashedPen(pen)) << pen;
    EXPECT_FALSE(device.isDashedPen(2));

    device.loadProfile(file.profile, "B"); // fewer pens: the old offsets do not linger
    EXPECT_FLOAT_EQ(device.penOffsets[2], 0.0f);

    device.loadProfile(file.profile, "Nobody");
    EXPECT_STREQ(device.sectionName, "");
    EXPECT_STREQ(device.command(CommandTemplate::MoveTo), "");
    EXPECT_FLOAT_EQ(device.RS, 0.025f);
    EXPECT_EQ(device.MaxPen, 0);

    device.loadProfile(file.profile, "Cutter A");
    device.command(CommandTemplate::MoveTo)[0] = 'X';
    device.loadProfile(file.profile, nullptr); // reloads the stored name
    EXPECT_STREQ(device.command(CommandTemplate::MoveTo), "PU%d,%d;");
}

TEST(DeviceProfile, TemplatesAreDecodedAndRefusedWhenTheyDoNotFit)
{
    CPlotterDevice device =
        ProfileFile("HomeCmd=\\x1B\\x1B\\x1B\\x1B\\x1B\\x1B\\x1B\n" // 28 characters, 7 bytes
                    "AbsCmd=1234567890123456789\n"                  // 19 bytes: fits
                    "SubJoin=12345678901234567890\n"                // 20: refused, not cut
                    "CutCmd=123456789012345678\\n\\r\n")            // 20 once decoded
            .load();
    EXPECT_EQ(std::string(device.command(CommandTemplate::HomeCmd)), std::string(7, '\x1B'));
    EXPECT_STREQ(device.command(CommandTemplate::AbsCmd), "1234567890123456789");
    EXPECT_STREQ(device.command(CommandTemplate::SubJoin), "");
    EXPECT_STREQ(device.command(CommandTemplate::CutCmd), "");
}

// Which conversions a format accepts is the formatter's own check; here, that each template is held to
// the number of values it is sent with, and that templates sent as they stand are not checked at all.
TEST(DeviceProfile, FormatTemplatesAskingForMoreThanTheyAreGivenAreEmptied)
{
    CPlotterDevice device = ProfileFile("MoveTo=PU%d,%d;\n"
                                        "LineTo=PD%d,%d,%d;\n" // three conversions for two values
                                        "ForceCmd=FS%-5.2x%%;\n"
                                        "PenUp=PU%d;\n" // given no values at all
                                        "HomeCmd=H%%;\n"
                                        "InitCmd=\\x1B%0BIN;\n") // written as it stands: '%' is plain text
                                .load();
    EXPECT_STREQ(device.command(CommandTemplate::MoveTo), "PU%d,%d;");
    EXPECT_STREQ(device.command(CommandTemplate::LineTo), "");
    EXPECT_STREQ(device.command(CommandTemplate::ForceCmd), "FS%-5.2x%%;");
    EXPECT_STREQ(device.command(CommandTemplate::PenUp), "");
    EXPECT_STREQ(device.command(CommandTemplate::HomeCmd), "H%%;");
    EXPECT_EQ(std::string(device.command(CommandTemplate::InitCmd)), "\x1B%0BIN;");
}

TEST(DeviceProfile, NumbersAndSwitchesAreHeldToWhatWorks)
{
    std::string pens = "MaxPen=25\n";
    for (int pen = 0; pen < 26; ++pen)
        pens += "Pen" + std::to_string(pen) + "Offset=" + std::to_string(pen) + ".5\n";
    CPlotterDevice many = ProfileFile(pens).load();
    EXPECT_EQ(many.MaxPen, 19);
    EXPECT_FLOAT_EQ(many.penOffsets[19], 19.5f);
    EXPECT_EQ(ProfileFile("MaxPen=-3\n").load().MaxPen, 0);

    CPlotterDevice odd = ProfileFile("SpeedRanger=10,80\nForceRanger=120\nRatioX=0\nRatioY=-2\nRS=0\n"
                                     "DefaultSpeed=70000\nOutMethod=-1\n")
                             .load();
    EXPECT_EQ(odd.highestSpeed, 80);
    EXPECT_EQ(odd.highestForce, 120);
    EXPECT_FLOAT_EQ(odd.RatioX, 1.0f);
    EXPECT_FLOAT_EQ(odd.RatioY, 1.0f);
    EXPECT_FLOAT_EQ(odd.RS, 0.025f); // a resolution of 0 would divide by zero
    // Ratios and resolutions that would spread a drawing over millions of sections, or shrink it to
    // nothing, are not taken; the ends of the range are.
    CPlotterDevice extreme = ProfileFile("RatioX=1000.5\nRatioY=0.0009\nRS=0.00009\n").load();
    EXPECT_FLOAT_EQ(extreme.RatioX, 1.0f);
    EXPECT_FLOAT_EQ(extreme.RatioY, 1.0f);
    EXPECT_FLOAT_EQ(extreme.RS, 0.025f);
    CPlotterDevice edges = ProfileFile("RatioX=1000\nRatioY=0.001\nRS=0.0001\n").load();
    EXPECT_FLOAT_EQ(edges.RatioX, 1000.0f);
    EXPECT_FLOAT_EQ(edges.RatioY, 0.001f);
    EXPECT_FLOAT_EQ(edges.RS, 0.0001f);
    EXPECT_EQ(odd.DefaultSpeed, 65535);
    EXPECT_EQ(odd.OutMethod, 0);

    EXPECT_EQ(ProfileFile("HardOffset=1\nPenMode=1\n").load().PenMode, 0);
    EXPECT_EQ(ProfileFile("HardOffset=1\nPlotCmd=SP1;\nPenMode=1\n").load().PenMode, 1);
    EXPECT_EQ(ProfileFile("HardOffset=0\nPenMode=1\n").load().PenMode, 1);

    // Only the buffer query is a handshake of its own; ENQ/ACK (2) and anything else pace by the line.
    EXPECT_EQ(ProfileFile("Handshake=1\n").load().Handshake, 1);
    for (const char* other : {"Handshake=2\n", "Handshake=-1\n", "Handshake=x\n", ""})
        EXPECT_EQ(ProfileFile(other).load().Handshake, 0) << other;

    // The compact forms are HP-GL's: a device that moves otherwise keeps one template per point.
    for (int form : {1, 2})
        EXPECT_EQ(ProfileFile("MoveTo=PU%d,%d;\nCompact=" + std::to_string(form) + "\n").load().Compact,
                  form);
    for (const char* other : {"Compact=3\n", "Compact=-1\n", "Compact=x\n", ""})
        EXPECT_EQ(ProfileFile(std::string("MoveTo=PU%d,%d;\n") + other).load().Compact, 0) << other;
    EXPECT_EQ(ProfileFile("MoveTo=M%d,%d\\x03\nCompact=1\n").load().Compact, 0);
}

TEST(DeviceProfile, SaveWritesTheEditableValuesAndKeepsTheRestOfTheFile)
{
    ProfileFile file("HardOffset=0\nMaxPen=2\n; the operator's note\nUnknownKey=kept\n");
    CPlotterDevice device = file.load();
    device.Offset = 0.45f;
    device.OVERCUT = 3;
    device.SetSpeed = 0;
    device.PenMode = 1;
    device.RatioX = 0.0f;
    device.RatioY = 1.25f;
    device.penOffsets[2] = 0.5f;
    device.saveProfile(file.profile);

    std::string text = TempDir::read(file.profile.path());
    for (const char* line : {"Offset=0.450000", "OverCut=3", "RatioX=1.000000", "Pen2Offset=0.500000",
                             "UnknownKey=kept", "; the operator's note"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(text.find("Pen3Offset"), std::string::npos);

    CPlotterDevice reloaded = file.load();
    EXPECT_EQ(reloaded.OVERCUT, 3);
    EXPECT_EQ(reloaded.SetSpeed, 0);
    EXPECT_EQ(reloaded.PenMode, 1);
    EXPECT_FLOAT_EQ(reloaded.RatioY, 1.25f);
    EXPECT_FLOAT_EQ(reloaded.penOffsets[2], 0.5f);

    // An unlisted device has no section to write to; nothing lands in a section named "".
    reloaded.loadProfile(file.profile, "Nobody");
    reloaded.saveProfile(file.profile);
    EXPECT_EQ(TempDir::read(file.profile.path()), text);
}
