#include "cli/OutputFolderPort.h"
#include "platform/Hooks.h"

#include "RollCountTest.h"
#include "TempDir.h"

#include <filesystem>
#include <gmock/gmock.h>

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The media used by the server and paper loaded by an operator meet in Server.INI without either being lost.
TEST_F(RollCountTest, MediaUsedIsTakenOffWhatTheOperatorLoadedMeanwhile)
{
    // A copy uses 120 mm: memory goes first, the file follows.
    settings.REMAINMEDIALENGTH -= 120;
    EXPECT_FALSE(count.sync());
    EXPECT_THAT(TempDir::read(home.file("Server.INI")), HasSubstr("REMAINMEDIALENGTH=880"));

    // The operator loads a new roll while the next copy uses 30 mm.
    home.write("Server.INI", "[SYSTEM]\nREMAINMEDIALENGTH=50000\n");
    settings.REMAINMEDIALENGTH -= 30;
    EXPECT_TRUE(count.sync());
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 49970);
    EXPECT_THAT(TempDir::read(home.file("Server.INI")), HasSubstr("REMAINMEDIALENGTH=49970"));

    // Nothing used and nothing changed: no change reported, nothing lost.
    EXPECT_FALSE(count.sync());
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 49970);

    // The run wrote the count of its copy itself: the copy's media is not taken off twice.
    settings.REMAINMEDIALENGTH -= 70;
    serverFile.setInt("SYSTEM", "REMAINMEDIALENGTH", settings.REMAINMEDIALENGTH);
    EXPECT_FALSE(count.sync());
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 49900);
    EXPECT_THAT(TempDir::read(home.file("Server.INI")), HasSubstr("REMAINMEDIALENGTH=49900"));
}

class OutputFolderPortTest : public ::testing::Test {
protected:
    TempDir folder;
    OutputFolderPort port{folder.file("Port.INI"), folder.file("out"),
                          [] { return std::string("C:\\jobs\\Frame.PLT"); }};
    std::int32_t stopFlag = 1;

    void SetUp() override
    {
        fs::create_directory(folder.path() / "out");
        platform::Hooks hooks;
        hooks.saveFileName = [this](const platform::SaveFileRequest&) { return port.answerFileName(); };
        platform::installHooks(hooks);
        port.SelectPort("File");
    }
    void TearDown() override { platform::resetHooks(); }

    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        for (const auto& entry : fs::directory_iterator(folder.path() / "out"))
            all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }
};

TEST_F(OutputFolderPortTest, APassAppearsWholeUnderThePlotFilesNameOnlyWhenItsCopyEndsAndAStoppedOneNever)
{
    ASSERT_EQ(port.Open(OutputMethod::Blocks, MessageSteps::Skip, &stopFlag), 1);
    port.Write("IN;PU0,0;");
    // While the pass runs only the hidden temporary file exists; once whole, it is held until the copy's
    // end has been journaled.
    EXPECT_THAT(names(), ElementsAre(".Frame.out.part"));
    port.Close();
    EXPECT_THAT(names(), ElementsAre(".Frame.out.held"));
    EXPECT_TRUE(port.passDelivered());

    // The second pass of the same copy does not replace the first.
    ASSERT_EQ(port.Open(OutputMethod::Blocks, MessageSteps::Skip, &stopFlag), 1);
    port.Write("PG;");
    port.Close();
    port.publish();
    EXPECT_THAT(names(), ElementsAre("Frame.2.out", "Frame.out"));
    EXPECT_EQ(TempDir::read(folder.file("out/Frame.out")), "IN;PU0,0;");
    EXPECT_EQ(port.lastOutput(), folder.file("out/Frame.2.out"));

    // The pass of the next copy, cut short by a stop, is thrown away and leaves the earlier ones alone.
    port.beginCopy();
    ASSERT_EQ(port.Open(OutputMethod::Blocks, MessageSteps::Skip, &stopFlag), 1);
    port.Write("IN;PU0,0;");
    stopFlag = 1;
    port.Close();
    port.publish();
    EXPECT_FALSE(port.passDelivered());
    EXPECT_THAT(names(), ElementsAre("Frame.2.out", "Frame.out"));
    EXPECT_TRUE(port.lastOutput().empty());
}

// What a killed server left: a pass cut short is removed; a whole one is delivered when its copy's end is
// in the journal, and removed when it is not (the copy is plotted again).
TEST_F(OutputFolderPortTest, PassesLeftByAKilledServerAreDeliveredOnlyWhenTheirCopyEnded)
{
    folder.write("out/.Frame.out.part", "IN;PU0");
    folder.write("out/.Frame.out.held", "IN;PU0,0;PG;");
    folder.write("out/.notes", "kept");
    EXPECT_EQ(port.recoverHeldPasses(false).size(), 2u);
    EXPECT_THAT(names(), ElementsAre(".notes"));

    folder.write("out/.Frame.out.part", "IN;PU0");
    folder.write("out/.Frame.out.held", "IN;PU0,0;PG;");
    EXPECT_EQ(port.recoverHeldPasses(true).size(), 2u);
    EXPECT_THAT(names(), ElementsAre(".notes", "Frame.out"));
    EXPECT_EQ(TempDir::read(folder.file("out/Frame.out")), "IN;PU0,0;PG;");
}

} // namespace
