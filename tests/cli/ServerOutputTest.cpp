#include "cli/OutputNames.h"
#include "jobs/PlotJournal.h"

#include "ServerHomeTest.h"

#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

// A drawing of upright strokes along 4 m of media, a few hundred kilobytes once sent.
std::string longDrawing()
{
    std::string plot = "IN;SP1;";
    for (int x = 0; x < 160000; x += 8)
        plot += "PU" + std::to_string(x) + ",0;PD" + std::to_string(x) + ",4000;";
    return plot + "PU;SP0;";
}

// marquill-server over a home of its own (see ServerHomeTest), writing the File port's passes into Output/.
class ServerOutputTest : public ServerHomeTest {
protected:
    std::vector<std::string> outputNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(home.path() / "Output"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The journal's copies by the plot file they came from.
    std::map<std::string, PlotJournal::CopyRecord> copiesByFile() const
    {
        std::map<std::string, PlotJournal::CopyRecord> copies;
        const PlotJournal journal(home.path().string());
        for (PlotJournal::CopyRecord& copy : journal.history(0))
            copies[copy.userPath] = std::move(copy);
        return copies;
    }
};

// Two plot files of one name but their extensions, and a second round of the same names: every pass keeps
// a file of its own, and the journal says which copy went where.
TEST_F(ServerOutputTest, FilesOfOneNameGetOutputsOfTheirOwnThatTheJournalNames)
{
    const std::string hpgl = deliver("job.hpgl", realFile("arcs.hp"));
    const std::string plt = deliver("job.plt", realFile("foal.hpgl"));
    ASSERT_EQ(serveOnce("first.txt"), 0) << log("first.txt");
    EXPECT_THAT(outputNames(), ::testing::ElementsAre("job-2.out", "job.out"));
    auto copies = copiesByFile();
    EXPECT_EQ(copies[hpgl].output, home.file("Output/job.out"));
    EXPECT_EQ(copies[plt].output, home.file("Output/job-2.out"));
    EXPECT_THAT(log("first.txt"), HasSubstr("finished: " + plt + " -> " + home.file("Output/job-2.out")));
    EXPECT_THAT(history({}), HasSubstr(plt + " -> " + home.file("Output/job-2.out")));
    const std::string firstHpgl = TempDir::read(home.file("Output/job.out"));
    const std::string firstPlt = TempDir::read(home.file("Output/job-2.out"));
    EXPECT_TRUE(firstHpgl != firstPlt);

    // A later job of the same name leaves the earlier outputs as they are.
    const std::string again = deliver("job.hp", realFile("arcs.hp"));
    ASSERT_EQ(serveOnce("second.txt"), 0) << log("second.txt");
    EXPECT_THAT(outputNames(), ::testing::ElementsAre("job-2.out", "job-3.out", "job.out"));
    EXPECT_TRUE(TempDir::read(home.file("Output/job.out")) == firstHpgl);
    EXPECT_TRUE(TempDir::read(home.file("Output/job-2.out")) == firstPlt);
    EXPECT_EQ(copiesByFile()[again].output, home.file("Output/job-3.out"));
}

// A name of 255 bytes leaves no room for its hidden temporary file: the output is named after a shortened
// stem instead, and the job is plotted.
TEST_F(ServerOutputTest, ALongestFileNameIsPlottedUnderAShortenedOutputName)
{
    const std::string name = std::string(251, 'n') + ".plt";
    const std::string job = deliver(name, realFile("arcs.hp"));
    ASSERT_EQ(serveOnce("once.txt"), 0) << log("once.txt");
    EXPECT_THAT(outputNames(), ::testing::ElementsAre(std::string(223, 'n') + ".out"));
    EXPECT_THAT(log("once.txt"), HasSubstr("marked plotted: " + job));
}

// The disk fills up while the last block of a pass is written, as the pass is closed: no truncated pass
// appears under a visible name, the copy fails with the reason, and only the sections that reached the
// file are charged.
TEST_F(ServerOutputTest, APassThatDoesNotFitTheDiskLeavesNoOutputAndFailsTheCopy)
{
    const std::string drawing = longDrawing();
    const std::string reference = home.file("reference.out");
    ASSERT_EQ(runPlotTool({"--port", reference, home.write("reference.plt", drawing)}, "plot.txt"), 0)
        << log("plot.txt");
    const std::uintmax_t size = fs::file_size(reference);
    constexpr std::uintmax_t BLOCK = 64 * 1024;
    ASSERT_GT(size, 4 * BLOCK);
    ASSERT_GT(size % BLOCK, 1024U) << "the last block is to be a partial one";
    const int before = mediaLeft();

    // Every whole block fits; the rest, sent when the pass closes, does not.
    const std::uintmax_t limit = size - size % BLOCK + (size % BLOCK) / 2;
    const std::string job = deliver("big.plt", drawing);
    EXPECT_EQ(serveOnce("full.txt", limit), 1) << log("full.txt");
    EXPECT_THAT(outputNames(), IsEmpty()) << log("full.txt");
    EXPECT_THAT(log("full.txt"), HasSubstr("job failed: " + job));
    EXPECT_THAT(log("full.txt"), HasSubstr("File too large"));
    EXPECT_THAT(log("full.txt"), Not(HasSubstr("marked plotted: " + job)));
    const PlotJournal::CopyRecord copy = copiesByFile()[job];
    EXPECT_EQ(copy.result, PlotJournal::FAILED);
    EXPECT_THAT(copy.text, HasSubstr("File too large"));
    EXPECT_TRUE(copy.output.empty());
    // A pass into the output folder uses its media when it is delivered: this one never was.
    EXPECT_EQ(copy.media, 0);
    EXPECT_EQ(mediaLeft(), before);
}

// A stem is cut at a character's edge, and a move never replaces a file, not even one made meanwhile.
TEST(OutputNames, StemsFitTheFileSystemAndMovesNeverReplace)
{
    // 2 bytes of "é" repeated, so that the cut falls inside a character unless it steps back.
    std::string accented;
    while (accented.size() < 300)
        accented += "\xc3\xa9";
    const std::string stem = outputnames::stemOf("/in/" + accented + ".plt");
    EXPECT_EQ(stem.size(), 222U);
    EXPECT_EQ(stem, accented.substr(0, 222));
    EXPECT_EQ(outputnames::stemOf("/in/job.plt"), "job");
    EXPECT_EQ(outputnames::stemOf("C:/in/.plt"), ".plt");

    TempDir folder;
    folder.write("job.out", "first");
    folder.write("job-2.out", "second");
    const std::string pass = folder.write(".job.out.part", "third");
    std::string chosen;
    EXPECT_EQ(outputnames::moveToFreeName(pass, folder.path().string(), "job", ".out", chosen),
              folder.file("job-3.out"));
    EXPECT_EQ(chosen, "job-3");
    EXPECT_EQ(TempDir::read(folder.file("job.out")), "first");
    EXPECT_EQ(TempDir::read(folder.file("job-2.out")), "second");
    EXPECT_EQ(TempDir::read(folder.file("job-3.out")), "third");
    EXPECT_FALSE(fs::exists(pass));
    // A pass whose temporary file is gone is no output.
    EXPECT_EQ(outputnames::moveToFreeName(pass, folder.path().string(), "job", ".out", chosen), std::nullopt);
}

} // namespace
