#include "platform/CProfile.h"

#include "platform/ProgramFolder.h"

#include "MissingInput.h"
#include "TempDir.h"

#include <cfloat>
#include <clocale>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class CProfileTest : public ::testing::Test {
protected:
    CProfileTest() { profile.setPath(dir.file("Server.INI").c_str()); }
    void writeFile(const std::string& text) { dir.write("Server.INI", text); }
    std::string fileText() const { return TempDir::read(dir.file("Server.INI")); }

    TempDir dir;
    CProfile profile;
};

} // namespace

TEST_F(CProfileTest, NumbersAreWrittenAsDecimalAndSixDecimals)
{
    EXPECT_TRUE(profile.setInt("SYSTEM", "Copies", -12));
    EXPECT_TRUE(profile.setFloat("SYSTEM", "RatioX", 2.5f));
    EXPECT_TRUE(profile.setFloat("SYSTEM", "RS", 0.025f));
    EXPECT_FALSE(profile.setFloat("SYSTEM", "Bad", std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(fileText(), "[SYSTEM]\nCopies=-12\nRatioX=2.500000\nRS=0.025000\n");
    EXPECT_EQ(profile.getInt("system", "copies", 0), -12);
    EXPECT_EQ(profile.getFloat("SYSTEM", "RatioX", 0.0f), 2.5f);
    EXPECT_EQ(profile.getFloat("SYSTEM", "RS", 0.0f), 0.025f);
}

TEST_F(CProfileTest, FloatDefaultPassesThroughItsText)
{
    // 0.1 becomes "0.100000" and back, which is the float nearest 0.1.
    EXPECT_EQ(profile.getFloat("SYSTEM", "Missing", 0.1f), 0.1f);
    // Digits beyond the sixth decimal of the default are lost on the way.
    EXPECT_EQ(profile.getFloat("SYSTEM", "Missing", 0.0000004f), 0.0f);
}

TEST_F(CProfileTest, FloatReadsOnlyNineteenCharactersAndNeverGivesNonFinite)
{
    writeFile("[S]\nLong=1234567890.12345678999\nExp=1.5e3\nWord=abc\nHuge=1e300\nNegHuge=-1e300\nNan=nan\n");
    EXPECT_EQ(profile.getFloat("S", "Long", 0.0f), 1234567890.1234567f);
    EXPECT_EQ(profile.getFloat("S", "Exp", 0.0f), 1500.0f);
    EXPECT_EQ(profile.getFloat("S", "Word", 7.0f), 0.0f);
    EXPECT_EQ(profile.getFloat("S", "Huge", 0.0f), FLT_MAX);
    EXPECT_EQ(profile.getFloat("S", "NegHuge", 0.0f), -FLT_MAX);
    EXPECT_EQ(profile.getFloat("S", "Nan", 0.0f), 0.0f);
}

TEST_F(CProfileTest, FloatsIgnoreTheProcessLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        SKIP_WITHOUT_INPUT("no German locale installed");
    EXPECT_TRUE(profile.setFloat("S", "F", 2.5f));
    EXPECT_EQ(profile.getFloat("S", "F", 0.0f), 2.5f);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(fileText(), "[S]\nF=2.500000\n");
}

TEST_F(CProfileTest, GetStringZeroFillsAndCutsToTheBuffer)
{
    writeFile("[S]\nName=abcdef\n");
    char out[5];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(profile.getString("S", "Name", out, sizeof out, ""), 4);
    EXPECT_EQ(std::string(out, sizeof out), std::string("abcd\0", 5));

    char wide[10];
    std::memset(wide, 'x', sizeof wide);
    EXPECT_EQ(profile.getString("S", "Missing", wide, sizeof wide, "de"), 2);
    EXPECT_EQ(std::string(wide, sizeof wide), std::string("de\0\0\0\0\0\0\0\0", 10));
    EXPECT_EQ(profile.getString("S", "Missing", wide, 0, "de"), 0);
    EXPECT_EQ(profile.getString("S", "Missing", nullptr, 10, "de"), 0);

    std::string text = "old";
    profile.getStringObj("S", "Name", text, "");
    EXPECT_EQ(text, "abcdef");
    profile.getStringObj("S", "Missing", text, nullptr);
    EXPECT_EQ(text, "");
}

TEST_F(CProfileTest, NullKeyListsKeyNamesAsABlock)
{
    writeFile("[CutterDevices]\nPen=P\nCutter=C\nKnife=K\n");
    char block[2000];
    EXPECT_EQ(profile.getString("CutterDevices", nullptr, block, sizeof block, ""), 17);
    EXPECT_EQ(std::string(block, 18), std::string("Pen\0Cutter\0Knife\0\0", 18));

    char small[8];
    EXPECT_EQ(profile.getString("CutterDevices", nullptr, small, sizeof small, ""), 6);
    EXPECT_EQ(std::string(small, 8), std::string("Pen\0Cu\0\0", 8));
}

TEST_F(CProfileTest, EscapedStringsDecodeAsTemplatesExpect)
{
    writeFile("[T]\n"
              "Esc=1B\\x1B\\r\n"
              "Other=A\\qB\n"
              "Bell=\\b\n"
              "Lines=\\\\\\n\\r\n"
              "HexCase=\\X41\\x4G\\xG4\\x00Z\n"
              "ShortHex=a\\x4\n"
              "TrailingSlash=a\\\n"
              "Long=" +
              std::string(30, 'y') + "\n");
    auto decoded = [&](const char* key, int size = 20) {
        std::string buffer(static_cast<size_t>(size), 'x');
        profile.getEscapedString("T", key, buffer.data(), size, "");
        return buffer;
    };
    EXPECT_EQ(decoded("Esc"), std::string("1B\x1B\r", 4) + std::string(16, '\0'));
    EXPECT_EQ(decoded("Other").c_str(), std::string("A\\B"));
    EXPECT_EQ(decoded("Bell").c_str(), std::string("\x07"));
    EXPECT_EQ(decoded("Lines").c_str(), std::string("\\\n\r"));
    EXPECT_EQ(decoded("HexCase").c_str(), std::string("A\x04Z"));
    EXPECT_EQ(decoded("ShortHex").c_str(), std::string("a"));
    EXPECT_EQ(decoded("TrailingSlash").c_str(), std::string("a"));
    // The decoded text stops at size - 1 bytes and stays terminated.
    EXPECT_EQ(decoded("Long"), std::string(19, 'y') + '\0');
    EXPECT_EQ(decoded("Esc", 3), std::string("1B\0", 3));
    EXPECT_EQ(decoded("Missing"), std::string(20, '\0'));
}

TEST_F(CProfileTest, NullTextRemovesKeyAndNullKeyRemovesSection)
{
    writeFile("[A]\nX=1\nY=2\n[B]\nZ=3\n");
    EXPECT_TRUE(profile.setString("A", "X", nullptr));
    EXPECT_TRUE(profile.setString("B", nullptr, nullptr));
    EXPECT_EQ(fileText(), "[A]\nY=2\n");
}

TEST(CProfileDefaultPath, UnsetPathIsVarenk98InTheProgramFolder)
{
    TempDir dir;
    platform::setProgramFolder(dir.path().string());
    CProfile profile;
    EXPECT_EQ(std::string(profile.path()), dir.file("VARENK98.INI"));
    EXPECT_TRUE(profile.setInt("S", "K", 3));
    EXPECT_EQ(TempDir::read(dir.file("VARENK98.INI")), "[S]\nK=3\n");
    platform::setProgramFolder("");
}
