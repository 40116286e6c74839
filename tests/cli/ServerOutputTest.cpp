#include "cli/OutputNames.h"
#include "jobs/PlotJournal.h"

#include "ChildProcess.h"
#include "MissingInput.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include <signal.h>
#include <sys/resource.h>

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

const std::string SERVER = std::string(MARQUILL_BIN_DIR) + "/marquill-server";
const std::string PLOT_TOOL = std::string(MARQUILL_BIN_DIR) + "/marquill-plot";
const fs::path PLOTS = MARQUILL_PLOTS_DIR;

// A drawing of upright strokes along 4 m of media, a few hundred kilobytes once sent.
std::string longDrawing()
{
    std::string plot = "IN;SP1;";
    for (int x = 0; x < 160000; x += 8)
        plot += "PU" + std::to_string(x) + ",0;PD" + std::to_string(x) + ",4000;";
    return plot + "PU;SP0;";
}

// marquill-server over a home of its own whose receive folder is in/, writing the File port's passes into
// Output/.
class ServerOutputTest : public ::testing::Test {
protected:
    TempDir home;

    void SetUp() override
    {
        if (!fs::exists(SERVER) || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("marquill-server or Import.so has not been built");
        if (!fs::exists(PLOTS / "arcs.hp"))
            SKIP_WITHOUT_INPUT("no real plot files");
        fs::copy_file(shippedFile("Plotter.INI"), home.path() / "Plotter.INI");
        fs::create_directory(home.path() / "in");
        home.write("Server.INI",
                   "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=100000\n[Receive]\nAReceivePath=" +
                       home.file("in") + "\nAutoDeleType=0\n");
    }

    std::vector<std::string> onceArguments() const { return {"--home", home.path().string(), "--once"}; }
    int serveOnce(const std::string& log)
    {
        return finishProgram(startProgram(SERVER, onceArguments(), home.file(log)), 60s);
    }
    std::string log(const std::string& name) const { return TempDir::read(home.file(name)); }

    // Puts a file into the receive folder whole, an hour old, so that it has settled.
    std::string deliver(const std::string& name, const std::string& bytes)
    {
        fs::create_directories(home.path() / "staged");
        const std::string staged = home.write("staged/" + name, bytes);
        fs::last_write_time(staged, fs::file_time_type::clock::now() - 1h);
        fs::rename(staged, home.file("in/" + name));
        return home.file("in/" + name);
    }

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

    int mediaLeft() const
    {
        const std::string ini = TempDir::read(home.file("Server.INI"));
        const std::size_t at = ini.find("REMAINMEDIALENGTH=");
        return at == std::string::npos ? -1 : std::stoi(ini.substr(at + 18));
    }
};

// Two plot files of one name but their extensions, and a second round of the same names: every pass keeps
// a file of its own, and the journal says which copy went where.
TEST_F(ServerOutputTest, FilesOfOneNameGetOutputsOfTheirOwnThatTheJournalNames)
{
    const std::string hpgl = deliver("job.hpgl", TempDir::read((PLOTS / "arcs.hp").string()));
    const std::string plt = deliver("job.plt", TempDir::read((PLOTS / "foal.hpgl").string()));
    ASSERT_EQ(serveOnce("first.txt"), 0) << log("first.txt");
    EXPECT_THAT(outputNames(), ::testing::ElementsAre("job-2.out", "job.out"));
    auto copies = copiesByFile();
    EXPECT_EQ(copies[hpgl].output, home.file("Output/job.out"));
    EXPECT_EQ(copies[plt].output, home.file("Output/job-2.out"));
    EXPECT_THAT(log("first.txt"), HasSubstr("finished: " + plt + " -> " + home.file("Output/job-2.out")));
    const std::vector<std::string> history = {"--home", home.path().string(), "--history"};
    ASSERT_EQ(finishProgram(startProgram(PLOT_TOOL, history, home.file("history.txt")), 30s), 0);
    EXPECT_THAT(log("history.txt"), HasSubstr(plt + " -> " + home.file("Output/job-2.out")));
    const std::string firstHpgl = TempDir::read(home.file("Output/job.out"));
    const std::string firstPlt = TempDir::read(home.file("Output/job-2.out"));
    EXPECT_TRUE(firstHpgl != firstPlt);

    // A later job of the same name leaves the earlier outputs as they are.
    const std::string again = deliver("job.hp", TempDir::read((PLOTS / "arcs.hp").string()));
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
    const std::string job = deliver(name, TempDir::read((PLOTS / "arcs.hp").string()));
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
    const std::vector<std::string> plot = {"--home", home.path().string(), "--port", reference,
                                           home.write("reference.plt", drawing)};
    ASSERT_EQ(finishProgram(startProgram(PLOT_TOOL, plot, home.file("plot.txt")), 60s), 0) << log("plot.txt");
    const std::uintmax_t size = fs::file_size(reference);
    constexpr std::uintmax_t BLOCK = 64 * 1024;
    ASSERT_GT(size, 4 * BLOCK);
    ASSERT_GT(size % BLOCK, 1024U) << "the last block is to be a partial one";
    const int before = mediaLeft();

    // Every whole block fits; the rest, sent when the pass closes, does not.
    const std::uintmax_t limit = size - size % BLOCK + (size % BLOCK) / 2;
    const std::string job = deliver("big.plt", drawing);
    EXPECT_EQ(finishProgram(startProgram(SERVER, onceArguments(), home.file("full.txt"), limit), 60s), 1)
        << log("full.txt");
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
