#include "platform/Installation.h"

#include "platform/ProgramFolder.h"

#include "TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace platform;

TEST(Installation, EditionComesFromInstallIniOrIsZero)
{
    TempDir dir;
    setProgramFolder(dir.path().string());
    EXPECT_EQ(editionCode(), 0);
    dir.write("Install.INI", "[install]\nedition=3\n");
    EXPECT_EQ(editionCode(), 3);
    setProgramFolder("");
}

TEST(Installation, LocaleNamesGiveWindowsLanguageIds)
{
    EXPECT_EQ(languageIdOfLocale("zh_CN.UTF-8"), 2052);
    EXPECT_EQ(languageIdOfLocale("zh_TW"), 2052);
    EXPECT_EQ(languageIdOfLocale("de_DE.UTF-8@euro"), 1031);
    EXPECT_EQ(languageIdOfLocale("pt_BR.UTF-8"), 1046);
    EXPECT_EQ(languageIdOfLocale("pt_PT"), 2070);
    EXPECT_EQ(languageIdOfLocale("C.UTF-8"), 1033);
    EXPECT_EQ(languageIdOfLocale(""), 1033);
    EXPECT_EQ(languageIdOfLocale("zhx_CN"), 1033);
}

TEST(Installation, SystemLanguageFollowsTheLocaleVariablesInOrder)
{
    const char* previousAll = std::getenv("LC_ALL");
    const std::string savedAll = previousAll ? previousAll : "";
    ::setenv("LC_ALL", "zh_CN.UTF-8", 1);
    ::setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(systemDefaultLanguage(), 2052);
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_MESSAGES", "fr_FR.UTF-8", 1);
    EXPECT_EQ(systemDefaultLanguage(), 1036);
    ::unsetenv("LC_MESSAGES");
    EXPECT_EQ(systemDefaultLanguage(), 1031);
    if (previousAll)
        ::setenv("LC_ALL", savedAll.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
}
