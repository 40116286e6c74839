#include "platform/Profile.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace platform;

namespace {

const std::string deviceFile = "; device profiles\n"
                               "[CutterDevices]\n"
                               "HP Pen=HPPEN ; not a comment\n"
                               "\n"
                               "; the pen plotter\n"
                               "[HPPEN]\n"
                               "InitCmd=IN;\n"
                               "Custom=kept\n"
                               "\n"
                               "[CutInfo]\n"
                               "Device=HP Pen\n";

} // namespace

TEST(Profile, WriteChangesOneLineAndKeepsCommentsUnknownKeysAndOrder)
{
    TempDir dir;
    const std::string path = dir.write("Plotter.INI", deviceFile);

    EXPECT_TRUE(writeProfileString("hppen", "INITCMD", "IN;PA;", path));
    std::string expected = deviceFile;
    expected.replace(expected.find("InitCmd=IN;"), 11, "InitCmd=IN;PA;");
    EXPECT_EQ(TempDir::read(path), expected);

    EXPECT_TRUE(writeProfileString("HPPEN", "MoveTo", "PU%d,%d;", path));
    EXPECT_TRUE(writeProfileString("Receive", "AReceivePath", "C:\\Receive", path));
    expected.replace(expected.find("Custom=kept\n"), 12, "Custom=kept\nMoveTo=PU%d,%d;\n");
    expected += "[Receive]\nAReceivePath=C:\\Receive\n";
    EXPECT_EQ(TempDir::read(path), expected);

    EXPECT_EQ(getProfileString("CUTINFO", "device", "", path), "HP Pen");
    EXPECT_EQ(getProfileString("CutterDevices", "HP Pen", "", path), "HPPEN ; not a comment");
}

TEST(Profile, MissingFileSectionOrKeyGivesDefaultAndFirstWriteCreatesFile)
{
    TempDir dir;
    const std::string path = dir.file("Server.INI");
    EXPECT_EQ(getProfileString("SYSTEM", "unit", "mm  ", path), "mm");
    EXPECT_EQ(getProfileInt("SYSTEM", "unit", 7, path), 7);
    EXPECT_TRUE(getProfileKeyNames("SYSTEM", path).empty());
    EXPECT_FALSE(std::filesystem::exists(path));

    EXPECT_TRUE(writeProfileString("SYSTEM", "unit", "1", path));
    EXPECT_EQ(TempDir::read(path), "[SYSTEM]\nunit=1\n");
    EXPECT_EQ(getProfileInt("system", "UNIT", 7, path), 1);
    EXPECT_EQ(getProfileString("SYSTEM", "other", "x", path), "x");
    EXPECT_EQ(getProfileString("Other", "unit", "x", path), "x");
}

TEST(Profile, ReadsLinesAsWindowsDoes)
{
    TempDir dir;
    const std::string path = dir.write("a.INI", "\xEF\xBB\xBF[S]\r\n"
                                                "  Spaced Key  =   padded value  \r\n"
                                                "Dup=first\r\n"
                                                "dup=second\r\n"
                                                "Quoted=\"  inside  \"\r\n"
                                                "Single='x'\r\n"
                                                "Mixed=\"x'\r\n"
                                                "Inner=a\"b\"c\r\n"
                                                "bare line\r\n"
                                                ";Comment=1\r\n"
                                                "=nameless\r\n"
                                                "Nul=before" +
                                                    std::string("\0after", 6) +
                                                    "\r\n"
                                                    "[s]\r\n"
                                                    "Dup=second section\r\n"
                                                    "Only=in second\r\n");
    EXPECT_EQ(getProfileString("S", "spaced key", "", path), "padded value");
    EXPECT_EQ(getProfileString("S", "DUP", "", path), "first");
    EXPECT_EQ(getProfileString("S", "Quoted", "", path), "  inside  ");
    EXPECT_EQ(getProfileString("S", "Single", "", path), "x");
    EXPECT_EQ(getProfileString("S", "Mixed", "", path), "\"x'");
    EXPECT_EQ(getProfileString("S", "Inner", "", path), "a\"b\"c");
    EXPECT_EQ(getProfileString("S", "bare line", "d", path), "");
    EXPECT_EQ(getProfileString("S", "Nul", "", path), "before");
    // The first of duplicate sections is the one read.
    EXPECT_EQ(getProfileString("S", "Only", "none", path), "none");
    EXPECT_EQ(getProfileKeyNames("s", path),
              (std::vector<std::string>{"Spaced Key", "Dup", "Quoted", "Single", "Mixed", "Inner",
                                        "bare line", "Nul"}));

    // An edit keeps the byte-order mark and the CRLF line ends.
    EXPECT_TRUE(writeProfileString("S", "New", "1", path));
    const std::string written = TempDir::read(path);
    EXPECT_TRUE(written.starts_with("\xEF\xBB\xBF[S]\r\n"));
    EXPECT_NE(written.find("Nul=before" + std::string("\0after", 6) + "\r\nNew=1\r\n[s]\r\n"),
              std::string::npos);
}

TEST(Profile, NewKeysGoToTheFirstOfDuplicateSectionsAndAfterAnUnendedLastLine)
{
    TempDir dir;
    const std::string path = dir.write("a.INI", "[S]\nA=1\n\n[T]\nB=2\n[s]\nC=3");
    EXPECT_TRUE(writeProfileString("S", "C", "4", path));
    EXPECT_TRUE(writeProfileString("s", "A", "5", path));
    EXPECT_TRUE(writeProfileString("T", "D", "6", path));
    EXPECT_EQ(TempDir::read(path), "[S]\nA=5\nC=4\n\n[T]\nB=2\nD=6\n[s]\nC=3");
    EXPECT_TRUE(writeProfileString("U", "E", "7", path));
    EXPECT_EQ(TempDir::read(path), "[S]\nA=5\nC=4\n\n[T]\nB=2\nD=6\n[s]\nC=3\n[U]\nE=7\n");
}

TEST(Profile, VeryLongLinesAndValuesAreReadWhole)
{
    TempDir dir;
    const std::string longValue(100000, 'v');
    const std::string path = dir.write("a.INI", "[S]\nLong=" + longValue + "\nAfter=1\n");
    EXPECT_EQ(getProfileString("S", "Long", "", path), longValue);
    EXPECT_EQ(getProfileInt("S", "After", 0, path), 1);
}

TEST(Profile, IntegersFollowTheWindowsRule)
{
    TempDir dir;
    const std::string path = dir.write("a.INI", "[S]\nNeg=-17\nPlus=+5\nTail=12abc\nWord=abc\n"
                                                "Empty=\nSpaced= 3 \nQuoted=\"8\"\nHuge=99999999999\n"
                                                "Tiny=-99999999999\nFloat=2.9\n");
    EXPECT_EQ(getProfileInt("S", "Neg", 0, path), -17);
    EXPECT_EQ(getProfileInt("S", "Plus", 0, path), 5);
    EXPECT_EQ(getProfileInt("S", "Tail", 0, path), 12);
    EXPECT_EQ(getProfileInt("S", "Word", 9, path), 0);
    EXPECT_EQ(getProfileInt("S", "Empty", 9, path), 9);
    EXPECT_EQ(getProfileInt("S", "Spaced", 0, path), 3);
    EXPECT_EQ(getProfileInt("S", "Quoted", 0, path), 8);
    EXPECT_EQ(getProfileInt("S", "Huge", 0, path), INT_MAX);
    EXPECT_EQ(getProfileInt("S", "Tiny", 0, path), INT_MIN);
    EXPECT_EQ(getProfileInt("S", "Float", 0, path), 2);
}

TEST(Profile, WindowsWrittenFileKeepsItsTextsAfterAWrite)
{
    TempDir dir;
    // "[CutterDevices]\n绘图仪=HPPEN\n[CutInfo]\nDevice=绘图仪\nTitle=输出中心\n" in GB18030.
    const std::string plotter = "\xBB\xE6\xCD\xBC\xD2\xC7";
    const std::string path = dir.write("Plotter.INI", "[CutterDevices]\r\n" + plotter +
                                                          "=HPPEN\r\n[CutInfo]\r\n"
                                                          "Device=" +
                                                          plotter +
                                                          "\r\n"
                                                          "Title=\xCA\xE4\xB3\xF6\xD6\xD0\xD0\xC4\r\n");
    EXPECT_EQ(getProfileKeyNames("CutterDevices", path), std::vector<std::string>{"绘图仪"});
    EXPECT_EQ(getProfileString("CutInfo", "Device", "", path), "绘图仪");
    EXPECT_EQ(getProfileString("CutterDevices", "绘图仪", "", path), "HPPEN");

    EXPECT_TRUE(writeProfileString("CutInfo", "Port", "COM1", path));
    EXPECT_TRUE(writeProfileString("CutInfo", "Name", "切割机", path));
    EXPECT_EQ(TempDir::read(path), "[CutterDevices]\r\n绘图仪=HPPEN\r\n[CutInfo]\r\nDevice=绘图仪\r\n"
                                   "Title=输出中心\r\nPort=COM1\r\nName=切割机\r\n");
    EXPECT_EQ(getProfileString("CutInfo", "Title", "", path), "输出中心");
    EXPECT_EQ(getProfileString("CutterDevices", "绘图仪", "", path), "HPPEN");

    // Bytes valid in neither encoding are kept as they are.
    const std::string odd = "[S]\nA=\xFF\xFF\n";
    const std::string oddPath = dir.write("odd.INI", odd);
    EXPECT_EQ(getProfileString("S", "A", "", oddPath), "\xFF\xFF");
    EXPECT_TRUE(writeProfileString("S", "B", "1", oddPath));
    EXPECT_EQ(TempDir::read(oddPath), odd + "B=1\n");
}

TEST(Profile, WritesThatWouldBreakTheFileAreRefused)
{
    TempDir dir;
    const std::string original = "[S]\nA=1\n";
    const std::string path = dir.write("a.INI", original);
    EXPECT_FALSE(writeProfileString("S", "A", "1\nB=2", path));
    EXPECT_FALSE(writeProfileString("S", "A", "1\r[T]", path));
    EXPECT_FALSE(writeProfileString("S", "A", std::string_view("1\0B", 3), path));
    EXPECT_FALSE(writeProfileString("S", "A\nB", "1", path));
    EXPECT_FALSE(writeProfileString("S", "A=B", "1", path));
    EXPECT_FALSE(writeProfileString("S", "[T]", "1", path));
    EXPECT_FALSE(writeProfileString("S", ";A", "1", path));
    EXPECT_FALSE(writeProfileString("S", "", "1", path));
    EXPECT_FALSE(writeProfileString("S]x", "A", "1", path));
    EXPECT_FALSE(writeProfileString("S\n[T", "A", "1", path));
    EXPECT_EQ(TempDir::read(path), original);
}

TEST(Profile, WriteReplacesTheFileInsteadOfRewritingIt)
{
    TempDir dir;
    const std::string original = "[S]\nA=1\n; note\n";
    const std::string path = dir.write("a.INI", original);
    // A second name for the old file: were the file rewritten in place, a crash could leave it cut short.
    const std::string oldName = dir.file("old.INI");
    std::filesystem::create_hard_link(path, oldName);
    std::filesystem::permissions(path, std::filesystem::perms(0640));

    EXPECT_TRUE(writeProfileString("S", "A", "2", path));
    EXPECT_EQ(TempDir::read(oldName), original);
    EXPECT_EQ(TempDir::read(path), "[S]\nA=2\n; note\n");
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
    // Nothing is left beside the file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(Profile, UnusableFileIsNeitherReadNorOverwritten)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder.INI"));
    EXPECT_FALSE(writeProfileString("S", "A", "1", dir.file("folder.INI")));
    EXPECT_EQ(getProfileInt("S", "A", 5, dir.file("folder.INI")), 5);
    EXPECT_FALSE(writeProfileString("S", "A", "1", dir.file("no such folder/a.INI")));
}

TEST(Profile, WritingThroughALinkKeepsTheLink)
{
    TempDir dir;
    const std::string target = dir.write("real.INI", "[S]\nA=1\n");
    const std::string link = dir.file("link.INI");
    std::filesystem::create_symlink(target, link);
    EXPECT_TRUE(writeProfileString("S", "A", "2", link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(TempDir::read(target), "[S]\nA=2\n");
}

TEST(Profile, DeletesKeysAndSections)
{
    TempDir dir;
    const std::string path = dir.write("a.INI", "[S]\nA=1\nB=2\n[T]\nC=3\n[U]\nD=4\n");
    EXPECT_TRUE(deleteProfileKey("s", "a", path));
    EXPECT_TRUE(deleteProfileSection("t", path));
    EXPECT_EQ(TempDir::read(path), "[S]\nB=2\n[U]\nD=4\n");
    EXPECT_TRUE(deleteProfileKey("S", "missing", dir.file("missing.INI")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.INI")));
}
