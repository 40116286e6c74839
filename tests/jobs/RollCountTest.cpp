#include "RollCountTest.h"

#include <gmock/gmock.h>

namespace {

using ::testing::HasSubstr;

// A Server.INI that names no count (caught half way through an editor's save, or the key taken out) is no
// new roll of the default length: the count in memory stands and goes back into the file, beside what
// the file holds.
TEST_F(RollCountTest, AFileThatNamesNoCountLeavesTheCountInMemory)
{
    home.write("Server.INI", "[SYSTEM]\nLanguage=2052\n[Receive]\nAReceivePath=/srv/in\n");
    settings.REMAINMEDIALENGTH -= 40;
    EXPECT_FALSE(count.sync());
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 960);
    EXPECT_EQ(TempDir::read(home.file("Server.INI")),
              "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=960\n[Receive]\nAReceivePath=/srv/in\n");
}

} // namespace
