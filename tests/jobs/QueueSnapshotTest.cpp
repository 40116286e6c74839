#include "TempDir.h"

#include "jobs/CAutoJobList.h"
#include "jobs/PlotJournal.h"
#include "jobs/QueueSnapshot.h"
#include "output/ServerSettings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(QueueSnapshotTest, CopiesEveryRowAndTheRollAndOutlivesLaterPublications)
{
    ServerSettings settings;
    settings.REMAINMEDIALENGTH = 1234;
    CAutoJobList list(settings);
    ASSERT_EQ(list.addJob("/in/a.plt"), 0);
    ASSERT_EQ(list.addJob("/in/b.plt"), 1);
    list.jobAt(1)->copies = 4;
    list.jobAt(1)->copiesDone = 2;
    list.jobAt(1)->length = 300;
    list.setRunningJob(1);
    list.setProgressText(1, "47%");

    SharedQueueSnapshot shared;
    EXPECT_EQ(shared.latest(), nullptr);
    shared.publish(takeSnapshot(list, settings, "pen plotter"));
    const std::shared_ptr<const QueueSnapshot> first = shared.latest();
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->jobs.size(), 2U);
    EXPECT_EQ(first->device, "pen plotter");
    EXPECT_EQ(first->mediaLeft, 1234);
    EXPECT_FALSE(first->jobs[0].running);
    EXPECT_EQ(first->jobs[0].state, CPlotJob::STATE_WAITING);
    EXPECT_TRUE(first->jobs[1].running);
    EXPECT_EQ(first->jobs[1].stateText, list.stateColumnText(1));
    EXPECT_EQ(first->jobs[1].copiesDone, 2);
    EXPECT_EQ(first->jobs[1].copies, 4);
    EXPECT_EQ(first->jobs[1].length, 300);

    // The run goes on while a reader holds the snapshot it took: what the reader holds does not change.
    std::atomic<bool> done = false;
    std::thread reader([&] {
        while (!done)
            EXPECT_LE(shared.latest()->jobs.size(), 3U);
    });
    for (int i = 0; i < 200; ++i) {
        list.jobAt(0)->copiesDone = i;
        shared.publish(takeSnapshot(list, settings, "pen plotter"));
    }
    done = true;
    reader.join();
    EXPECT_EQ(first->jobs[0].copiesDone, 0);
    EXPECT_EQ(shared.latest()->jobs[0].copiesDone, 199);
}

TEST(QueueSnapshotTest, TheJournalGivesTheLastFailedCopiesNewestFirst)
{
    TempDir dir;
    PlotJournal journal(dir.path().string());
    const std::int64_t a = journal.addDelivery("/in/a.plt", "/in/a.plt", {});
    const std::int64_t b = journal.addDelivery("/in/b.plt", "/in/b.plt", {});
    journal.endCopy(journal.beginCopy(a, 1, 2), PlotJournal::FAILED, "port A", 0);
    journal.endCopy(journal.beginCopy(a, 1, 2), PlotJournal::SENT, {}, 0);
    journal.endCopy(journal.beginCopy(b, 1, 1), PlotJournal::STOPPED, {}, 0);
    journal.endCopy(journal.beginCopy(b, 1, 1), PlotJournal::FAILED, "port B", 0);
    journal.endCopy(journal.beginCopy(a, 2, 2), PlotJournal::FAILED, "port C", 0);

    const std::vector<PlotJournal::CopyRecord> last = journal.lastFailures(2);
    ASSERT_EQ(last.size(), 2U);
    EXPECT_EQ(last[0].text, "port C");
    EXPECT_EQ(last[0].userPath, "/in/a.plt");
    EXPECT_EQ(last[0].number, 2);
    EXPECT_EQ(last[1].text, "port B");
    EXPECT_EQ(last[1].userPath, "/in/b.plt");
    EXPECT_EQ(journal.lastFailures(10).size(), 3U);
}
