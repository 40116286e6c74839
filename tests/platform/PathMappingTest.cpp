#include "platform/PathMapping.h"

#include "platform/ProgramFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace platform;

TEST(PathMapping, DriveLettersMapToFoldersOfTheProgramFolder)
{
    setProgramFolder("/opt/marquill");
    EXPECT_EQ(toFileSystemPath("C:\\Receive"), "/opt/marquill/drive_c/Receive");
    EXPECT_EQ(toFileSystemPath("d:\\Jobs\\A.PLT"), "/opt/marquill/drive_d/Jobs/A.PLT");
    EXPECT_EQ(toFileSystemPath("C:"), "/opt/marquill/drive_c");
    EXPECT_EQ(toFileSystemPath("C:Receive"), "/opt/marquill/drive_c/Receive");
    EXPECT_EQ(toFileSystemPath("C:/Receive/"), "/opt/marquill/drive_c/Receive/");
    EXPECT_EQ(toFileSystemPath("Receive\\A.PLT"), "Receive/A.PLT");
    EXPECT_EQ(toFileSystemPath("/home/op/Receive"), "/home/op/Receive");
    EXPECT_EQ(toFileSystemPath("relative/a:b"), "relative/a:b");
    EXPECT_EQ(toFileSystemPath(""), "");
    setProgramFolder("");
}

// What a folder picker returns is stored in the Windows form when it lies in a drive folder, so that it
// names the same jobs as the paths typed in that form.
TEST(PathMapping, DriveFoldersGoBackToTheirWindowsForm)
{
    setProgramFolder("/opt/marquill");
    EXPECT_EQ(toStoredPath("/opt/marquill/drive_c/Receive"), "C:\\Receive");
    EXPECT_EQ(toStoredPath("/opt/marquill/drive_d/Jobs/In/"), "D:\\Jobs\\In\\");
    EXPECT_EQ(toStoredPath("/opt/marquill/drive_c"), "C:\\");
    for (const char* kept :
         {"/opt/marquill/drive_cc/Receive", "/opt/marquill/drive_", "/opt/marquill/drive_C/x",
          "/opt/marquill/Receive", "/home/op/drive_c/Receive", "relative"})
        EXPECT_EQ(toStoredPath(kept), kept);
    EXPECT_EQ(toFileSystemPath(toStoredPath("/opt/marquill/drive_c/Receive")),
              "/opt/marquill/drive_c/Receive");
    setProgramFolder("");
}

TEST(PathMapping, JoinUsesTheFoldersOwnSeparator)
{
    EXPECT_EQ(joinPath("C:\\Receive", "A.PLT"), "C:\\Receive\\A.PLT");
    EXPECT_EQ(joinPath("C:\\Receive\\", "A.PLT"), "C:\\Receive\\A.PLT");
    EXPECT_EQ(joinPath("/home/op/Receive", "A.PLT"), "/home/op/Receive/A.PLT");
    EXPECT_EQ(joinPath("/home/op/Receive/", "A.PLT"), "/home/op/Receive/A.PLT");
    EXPECT_EQ(joinPath("", "A.PLT"), "A.PLT");
}

TEST(ProgramFolder, IsTheExecutablesFolderUnlessPointedElsewhere)
{
    const std::string own = programFolder();
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(own + "marquill_platform_tests"));

    setProgramFolder("/tmp/elsewhere");
    EXPECT_EQ(programFolder(), "/tmp/elsewhere/");
    setProgramFolder("");
    EXPECT_EQ(programFolder(), own);
}
