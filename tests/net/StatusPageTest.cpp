#include "net/StatusPage.h"
#include "jobs/CPlotJob.h"
#include "platform/ProgramFolder.h"

#include "MissingInput.h"
#include "TempDir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <regex>
#include <thread>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

int count(const std::string& text, const std::string& pattern)
{
    const std::regex re(pattern);
    return static_cast<int>(
        std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()));
}

QueueSnapshot queueOf(const std::vector<std::string>& paths)
{
    QueueSnapshot snapshot;
    for (const std::string& path : paths) {
        QueueSnapshot::Job job;
        job.path = path;
        job.state = CPlotJob::STATE_WAITING;
        snapshot.jobs.push_back(job);
    }
    return snapshot;
}

// The page as the printer system's threads render it, with plots read through the real import filter.
class StatusPageTest : public ::testing::Test {
protected:
    TempDir dir;
    SharedQueueSnapshot queue;
    StatusPage page{queue, dir.path().string()};

    void SetUp() override
    {
        if (!fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("Import.so has not been built");
        platform::setProgramFolder(MARQUILL_BIN_DIR);
    }
    void TearDown() override { platform::setProgramFolder(""); }
};

} // namespace

TEST_F(StatusPageTest, DrawsEachJobOnceForEachVersionOfItsFile)
{
    EXPECT_THAT(page.render(), HasSubstr("(the server is starting)"));

    const std::string frame = dir.write("frame.plt", "IN;PU0,0;PD4000,0,4000,2000,0,2000,0,0;PU;");
    queue.publish(queueOf({frame, dir.file("gone.plt")}));
    const std::string first = page.render();
    EXPECT_EQ(count(first, "<svg "), 1);
    EXPECT_THAT(first, HasSubstr("<td class=\"name\">frame.plt</td>"));
    EXPECT_THAT(first, HasSubstr("<p class=\"note\">The file is gone.</p>"));
    EXPECT_EQ(page.render(), first);

    // The file written anew with another drawing gets a new preview.
    fs::remove(frame);
    dir.write("frame.plt", "IN;PU0,0;PD4000,0,2000,4000,0,0;PU;");
    const std::string second = page.render();
    EXPECT_EQ(count(second, "<svg "), 1);
    EXPECT_NE(second, first);
}

TEST_F(StatusPageTest, ALongQueueShowsPreviewsOfItsFirstJobsOnlyAndReadersMayComeAtOnce)
{
    const std::string line = dir.write("line.plt", "IN;PU0,0;PD4000,4000;PU;");
    std::vector<std::string> paths(StatusPage::MAX_PREVIEWS + 5, line);
    queue.publish(queueOf(paths));
    const std::string full = page.render();
    EXPECT_EQ(count(full, "<svg "), int(StatusPage::MAX_PREVIEWS));
    EXPECT_EQ(count(full, "<td class=\"name\">line.plt</td>"), int(StatusPage::MAX_PREVIEWS) + 5);
    EXPECT_THAT(full, HasSubstr("Previews are shown for the first 40 jobs only."));

    // Readers in the system's threads while the run publishes anew.
    std::vector<std::thread> readers;
    for (int reader = 0; reader < 4; ++reader)
        readers.emplace_back([this] {
            for (int i = 0; i < 20; ++i)
                EXPECT_THAT(page.render(), HasSubstr("</html>"));
        });
    for (int i = 0; i < 50; ++i)
        queue.publish(queueOf(std::vector<std::string>(std::size_t(i % 3), line)));
    for (std::thread& reader : readers)
        reader.join();
}
