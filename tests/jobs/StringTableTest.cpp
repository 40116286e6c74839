#include "jobs/FileErrors.h"
#include "res/strings/EnglishStrings.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <set>

namespace {

std::set<int> ids(std::span<const strings::StringEntry> table)
{
    std::set<int> found;
    for (const auto& entry : table)
        EXPECT_TRUE(found.insert(entry.id).second) << "id " << entry.id << " twice";
    return found;
}

TEST(StringTable, BothLanguagesHaveTheSameIdsOnce)
{
    EXPECT_EQ(ids(strings::chineseTable()), ids(strings::englishTable()));
    EXPECT_STREQ(strings::localString(-1), "");
}

TEST(FileErrors, EachKindHasItsTextWithThePathInserted)
{
    for (int id = 61857; id <= 61870; ++id)
        EXPECT_NE(std::string(strings::programString(id)).find("%1"), std::string::npos) << id;
    EXPECT_EQ(fileErrorText(EACCES, "C:\\a.plt"), "对 C:\\a.plt 的访问被拒绝。");
    EXPECT_EQ(fileErrorStringId(12345), 61857);
    // A path holding %1 itself is not expanded again.
    EXPECT_EQ(fileErrorText(ENOENT, "%1"), "没有找到 %1。");
}

} // namespace
