#include "jobs/QueueStore.h"

#include "JobTestSupport.h"
#include "TempDir.h"
#include "jobs/CAutoJobList.h"
#include "output/ServerSettings.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// What a job is kept with, in one line, to compare a restored job with the one saved.
std::string fields(const CPlotJob& job)
{
    return std::string(job.path) + " " + std::to_string(job.state) + " " + std::to_string(job.copiesDone) +
           "/" + std::to_string(job.copies) + " o" + std::to_string(job.options) + " " +
           std::to_string(job.startOffset) + "," + std::to_string(job.sectionLength) + "," +
           std::to_string(job.overlap) + "," + std::to_string(job.sectionLimit) + " " +
           std::to_string(job.length) + "x" + std::to_string(job.width) + " m" +
           std::to_string(job.messageId) + " " + job.messageText;
}

TEST(QueueStore, JobsComeBackAsTheyWereWhileTheirFilesAreThere)
{
    TempDir dir;
    ServerSettings settings;
    CAutoJobList before(settings);
    for (const char* name : {"a b.plt", "gone.plt", "c.plt"}) {
        const std::string path = dir.write(name, "IN;");
        before.addJob(path, CPlotJob::create(path, CPlotJob::STATE_WAITING, settings));
    }
    CPlotJob& a = *before.jobAt(0);
    a.copies = 3;
    a.copiesDone = 1;
    a.options = CPlotJob::OPTION_ROTATE | CPlotJob::OPTION_HALF_CUT;
    a.startOffset = 20;
    a.sectionLength = 0;
    a.overlap = 5;
    a.sectionLimit = 2;
    a.length = 1200;
    a.width = 400;
    CPlotJob& c = *before.jobAt(2);
    c.state = CPlotJob::STATE_STANDBY;
    c.messageId = 20100;
    c.messageText = "端口 COM9 无法打开: no device\nsecond line";
    const std::string file = dir.file("Queue.INI");
    ASSERT_TRUE(queuestore::save(file, before));
    std::filesystem::remove(dir.file("gone.plt"));

    CAutoJobList after(settings);
    EXPECT_EQ(queuestore::restore(file, after), 2);
    ASSERT_EQ(after.rowCount(), 2);
    EXPECT_EQ(fields(*after.jobAt(0)), fields(a));
    c.messageText = "端口 COM9 无法打开: no device";
    EXPECT_EQ(fields(*after.jobAt(1)), fields(c));
    EXPECT_EQ(after.itemText(0, 1), "1200mm");
    // Listed already: nothing twice.
    EXPECT_EQ(queuestore::restore(file, after), 0);
}

TEST(QueueStore, AMissingOrDamagedFileListsOnlyWhatItCanRead)
{
    TempDir dir;
    ServerSettings settings;
    CAutoJobList list(settings);
    EXPECT_EQ(queuestore::restore(dir.file("none.INI"), list), 0);
    const std::string plot = dir.write("p.plt", "IN;");
    dir.write("Queue.INI", "Path=" + plot + "\n[Job1]\nCopies=x\nCopiesDone=99999999999\nPath=" + plot +
                               "\n[Job2]\nCopies=2\n[Job3]\nPath=/nowhere/q.plt\n");
    EXPECT_EQ(queuestore::restore(dir.file("Queue.INI"), list), 1);
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.jobAt(0)->copies, 1);
    EXPECT_EQ(list.jobAt(0)->copiesDone, 0);
    EXPECT_EQ(list.jobAt(0)->state, CPlotJob::STATE_WAITING);
    // A folder that cannot be written is said as a failure.
    EXPECT_FALSE(queuestore::save(dir.file("p.plt/Queue.INI"), list));
}

} // namespace
