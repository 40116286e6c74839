#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "TempDir.h"
#include "output/OutputSettings.h"
#include "platform/CProfile.h"

namespace {

struct SettingsFiles {
    TempDir dir;
    CProfile server;
    CProfile device;
    ServerSettings settings;
    CCutInfo cutInfo;
    CPlotterDevice plotter;

    SettingsFiles(const std::string& serverText, const std::string& deviceText)
    {
        server.setPath(serverText.empty() ? dir.file("Server.INI").c_str()
                                          : dir.write("Server.INI", serverText).c_str());
        device.setPath(deviceText.empty() ? dir.file("Plotter.INI").c_str()
                                          : dir.write("Plotter.INI", deviceText).c_str());
    }

    void load() { loadOutputSettings(server, device, settings, cutInfo, plotter); }
};

} // namespace

TEST(OutputSettings, MissingFilesGiveTheDefaultsAndAreNotCreated)
{
    SettingsFiles files("", "");
    files.settings.Section = 1;
    files.cutInfo.PenSpeed = 1;
    files.load();
    EXPECT_EQ(files.settings.Section, 500);
    EXPECT_EQ(files.settings.SendPG, 1);
    EXPECT_EQ(files.settings.AutoDeleType, 1);
    EXPECT_EQ(files.cutInfo.PenSpeed, 60);
    EXPECT_FALSE(std::filesystem::exists(files.server.path()));
    EXPECT_FALSE(std::filesystem::exists(files.device.path()));
}

TEST(OutputSettings, ReadsBothFilesAndTheSelectedDevice)
{
    SettingsFiles files(
        "[System]\nUNIT=1\nAUTOROTATE=1\nmirrory=1\nLanguage=1033\n[RECEIVE]\nautodeletype=0\n",
        "[CutterDevices]\nPlotter=HPGL\n[cutinfo]\nDEVICE=Plotter\nport=LPT1\n"
        "[HPGL]\nMoveTo=PU%d,%d;\n");
    files.load();
    EXPECT_EQ(files.settings.unit, 1);
    EXPECT_EQ(files.settings.AutoRotate, 1);
    EXPECT_EQ(files.settings.MirrorY, 1);
    EXPECT_EQ(files.settings.Language, 1033);
    EXPECT_EQ(files.settings.AutoDeleType, 0);
    EXPECT_STREQ(files.cutInfo.Port, "LPT1");
    EXPECT_STREQ(files.plotter.displayName, "Plotter");
    EXPECT_STREQ(files.plotter.command(CommandTemplate::MoveTo), "PU%d,%d;");
}

TEST(OutputSettings, ValuesThatCannotWorkAreCorrected)
{
    SettingsFiles files("",
                        "[CutInfo]\nCurveAccurate=0.1\nZoomCut=-2\nPaperWidth=-300\nPaperHeight=-2147483648\n"
                        "PenSpeed=70000\nPenForce=-5\nSolidCut=0\nVoidCut=-1\nPort=COM12345\n");
    CCutInfo info;
    info.loadCutInfo(files.device);
    EXPECT_FLOAT_EQ(info.CurveAccurate, 0.5f);
    EXPECT_FLOAT_EQ(info.ZoomCut, 1.0f);
    EXPECT_FLOAT_EQ(info.paper.right, 300.0f);
    EXPECT_FLOAT_EQ(info.paper.bottom, 2147483648.0f);
    EXPECT_EQ(info.PenSpeed, 65535);
    EXPECT_EQ(info.PenForce, 0);
    EXPECT_FLOAT_EQ(info.SolidCut, 2.0f); // a zero stretch would never finish a half-cut line
    EXPECT_FLOAT_EQ(info.VoidCut, 0.2f);
    EXPECT_STREQ(info.Port, "COM1"); // four characters at most

    SettingsFiles zero("", "[CutInfo]\nVoidCut=0\n"); // no gap is a working half cut
    info.loadCutInfo(zero.device);
    EXPECT_FLOAT_EQ(info.VoidCut, 0.0f);

    // Section values beyond what can be set give the defaults; the ends of the range are kept.
    SettingsFiles sections("[SYSTEM]\nSection=-2147483648\nOverLap=1000001\n", "");
    sections.load();
    EXPECT_EQ(sections.settings.Section, 500);
    EXPECT_EQ(sections.settings.OverLap, 10);
    SettingsFiles edges("[SYSTEM]\nSection=1000000\nOverLap=0\n", "");
    edges.load();
    EXPECT_EQ(edges.settings.Section, 1000000);
    EXPECT_EQ(edges.settings.OverLap, 0);
}

TEST(CutInfo, SaveWritesTheRecordButNotTheReadOnlyKeysAndLoadsBack)
{
    SettingsFiles files("", "");
    CCutInfo info;
    info.loadCutInfo(files.device);
    info.saveCutInfo(files.device);
    std::string text = TempDir::read(files.device.path());
    for (const char* line : {"Port=COM2", "PaperWidth=400", "PaperHeight=900", "CurveAccurate=2.000000",
                             "ZoomCut=1.000000", "mmPageGap=20"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    for (const char* key : {"PenSpeed", "PenForce", "SetForce", "SolidCut", "VoidCut"})
        EXPECT_EQ(text.find(key), std::string::npos) << key;

    std::snprintf(info.Port, sizeof info.Port, "File");
    info.paper.right = 610.9f;
    info.paper.bottom = 1e12f; // beyond what the integer key can hold
    info.HalfCut = 1;
    info.ZoomCut = 2.25f;
    info.mmPageGap = 35;
    info.saveCutInfo(files.device);
    CCutInfo reloaded;
    reloaded.loadCutInfo(files.device);
    EXPECT_STREQ(reloaded.Port, "File");
    EXPECT_FLOAT_EQ(reloaded.paper.right, 610.0f);
    EXPECT_FLOAT_EQ(reloaded.paper.bottom, 2147483647.0f);
    EXPECT_EQ(reloaded.HalfCut, 1);
    EXPECT_FLOAT_EQ(reloaded.ZoomCut, 2.25f);
    EXPECT_EQ(reloaded.mmPageGap, 35);
}
