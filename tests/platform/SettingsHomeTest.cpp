#include "platform/SettingsHome.h"

#include "platform/PathMapping.h"
#include "platform/ProgramFolder.h"

#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(SettingsHome, IsChosenFromTheCommandLineTheEnvironmentTheProgramFolderThenTheFallback)
{
    HomeSources sources;
    sources.given = "/srv/plotter";
    sources.marquillHome = "/etc/marquill";
    sources.xdgDataHome = "/home/op/data";
    sources.userHome = "/home/op";
    sources.stateDirectory = "/var/lib/marquill:/var/lib/other";
    sources.programFolder = "/home/op/build/bin/";
    sources.programFolderWritable = true;
    EXPECT_EQ(chooseSettingsHome(sources, HomeFallback::UserData), "/srv/plotter/");
    sources.given.clear();
    EXPECT_EQ(chooseSettingsHome(sources, HomeFallback::ServiceState), "/etc/marquill/");
    sources.marquillHome.clear();
    // A build run in place keeps its settings beside the executables.
    EXPECT_EQ(chooseSettingsHome(sources, HomeFallback::ServiceState), "/home/op/build/bin/");

    sources.programFolderWritable = false;
    EXPECT_EQ(chooseSettingsHome(sources, HomeFallback::UserData), "/home/op/data/marquill/");
    EXPECT_EQ(chooseSettingsHome(sources, HomeFallback::ServiceState), "/var/lib/marquill/");
    // A relative XDG_DATA_HOME is ignored, as the base directory rules say.
    sources.xdgDataHome = "data";
    EXPECT_EQ(chooseSettingsHome(sources, HomeFallback::UserData), "/home/op/.local/share/marquill/");
    // The server started by hand, outside a unit, is a user's program.
    sources.stateDirectory.clear();
    EXPECT_EQ(chooseSettingsHome(sources, HomeFallback::ServiceState), "/home/op/.local/share/marquill/");
    sources.userHome.clear();
    EXPECT_EQ(chooseSettingsHome(sources, HomeFallback::ServiceState), "");
}

TEST(SettingsHome, AnInstalledProgramFolderNeverTakesSettings)
{
    TempDir dir;
    setProgramFolder(dir.path().string());
    EXPECT_TRUE(settingsHomeSources("").programFolderWritable);
    // Even root, who may write there, keeps the package's folder clean.
    setProgramFolder("/usr/lib/marquill");
    EXPECT_FALSE(settingsHomeSources("").programFolderWritable);
    setProgramFolder("");
}

TEST(SettingsHome, ANewHomeTakesTheShippedFilesOnceAndOnlyThose)
{
    TempDir program;
    program.write("Plotter.INI", "[CutterDevices]\n");
    program.write("PlotterKM_Eng.INI", "[CutterDevices]\n");
    program.write("Install.INI", "[Install]\nEdition=3\n");
    // Left in a build folder by a run in place: not the shipped settings.
    program.write("Server.INI", "[SYSTEM]\nREMAINMEDIALENGTH=5\n");
    program.write("Port.INI", "[PortInfo]\n");
    TempDir parent;
    const std::string home = (parent.path() / "a" / "marquill").string() + "/";

    std::string error;
    ASSERT_TRUE(prepareSettingsHome(home, program.path().string() + "/", error)) << error;
    EXPECT_EQ(TempDir::read(home + "Install.INI"), "[Install]\nEdition=3\n");
    EXPECT_TRUE(fs::exists(home + "Plotter.INI"));
    EXPECT_TRUE(fs::exists(home + "PlotterKM_Eng.INI"));
    EXPECT_FALSE(fs::exists(home + "Server.INI"));
    EXPECT_FALSE(fs::exists(home + "Port.INI"));

    // Once a program has written Server.INI the home is the user's: a removed file stays removed, an
    // edited one stays edited.
    fs::remove(home + "Plotter.INI");
    writeFile(home + "Install.INI", "[Install]\nEdition=1\n");
    writeFile(home + "Server.INI", "[SYSTEM]\nLanguage=2052\n");
    ASSERT_TRUE(prepareSettingsHome(home, program.path().string(), error)) << error;
    EXPECT_FALSE(fs::exists(home + "Plotter.INI"));
    EXPECT_EQ(TempDir::read(home + "Install.INI"), "[Install]\nEdition=1\n");

    // The program folder as its own home is left as it is.
    ASSERT_TRUE(prepareSettingsHome(program.path().string() + "/", program.path().string() + "/", error));
    EXPECT_EQ(TempDir::read(program.file("Server.INI")), "[SYSTEM]\nREMAINMEDIALENGTH=5\n");

    // A home that cannot be made is refused with its reason.
    const std::string blocked = program.file("Plotter.INI") + "/home/";
    EXPECT_FALSE(prepareSettingsHome(blocked, program.path().string() + "/", error));
    EXPECT_NE(error.find("cannot make the settings folder " + blocked), std::string::npos) << error;
}

TEST(SettingsHome, TheDriveFoldersAreInTheHome)
{
    setProgramFolder("/usr/lib/marquill");
    EXPECT_EQ(settingsHome(), "/usr/lib/marquill/");
    setSettingsHome("/var/lib/marquill");
    EXPECT_EQ(toFileSystemPath("C:\\Receive\\A.PLT"), "/var/lib/marquill/drive_c/Receive/A.PLT");
    setSettingsHome("");
    EXPECT_EQ(toFileSystemPath("C:\\Receive"), "/usr/lib/marquill/drive_c/Receive");
    setProgramFolder("");
}
