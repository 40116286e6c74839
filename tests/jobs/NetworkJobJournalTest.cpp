#include "jobs/NetworkJobJournal.h"
#include "TempDir.h"
#include "jobs/PlotJournal.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

NetworkJobJournal::Job job(int id, const std::string& path, std::time_t received = 0)
{
    NetworkJobJournal::Job record;
    record.id = id;
    record.path = path;
    record.name = "drawing.plt";
    record.user = "anna";
    record.copies = 2;
    record.received = received;
    return record;
}

TEST(NetworkJobJournalTest, KeepsTheJobsThatHaveNotEndedAndTheirIdsAcrossAReopening)
{
    TempDir dir;
    {
        NetworkJobJournal journal(dir.path().string());
        ASSERT_TRUE(journal.isOpen());
        EXPECT_EQ(journal.highestId(), 0);
        journal.received(job(3, "/in/a.plt"));
        journal.received(job(5, "/in/b.plt"));
        journal.received(job(7, "/in/c.plt"));
        journal.ended(5, NetworkJobJournal::CANCELED, "Canceled.");
        // A job taken up again after a restart keeps its first record.
        journal.received(job(3, "/in/elsewhere.plt"));
    }
    const NetworkJobJournal journal(dir.path().string());
    EXPECT_EQ(journal.highestId(), 7);
    const std::vector<NetworkJobJournal::Job> open = journal.unended();
    ASSERT_EQ(open.size(), 2U);
    EXPECT_EQ(open[0].id, 3);
    EXPECT_EQ(open[0].path, "/in/a.plt");
    EXPECT_EQ(open[0].user, "anna");
    EXPECT_EQ(open[0].copies, 2);
    EXPECT_EQ(open[1].id, 7);
    const std::vector<NetworkJobJournal::Job> recent = journal.recent(2);
    ASSERT_EQ(recent.size(), 2U);
    EXPECT_EQ(recent[0].id, 7);
    EXPECT_EQ(recent[1].id, 5);
    EXPECT_EQ(recent[1].state, "canceled");
    EXPECT_EQ(recent[1].message, "Canceled.");
    EXPECT_GT(recent[1].ended, 0);
}

// Only the last copy sent, begun after the job came in, makes the file plotted: an earlier delivery under
// the same name, a copy that failed or one of its first copies does not.
TEST(NetworkJobJournalTest, AFileCountsAsPlottedOnlyWhenItsLastCopyWasSentAfterItCameIn)
{
    TempDir dir;
    PlotJournal plots(dir.path().string());
    const NetworkJobJournal journal(dir.path().string());
    const std::int64_t delivery = plots.addDelivery("/in/a.plt", "/in/a.plt", {});
    plots.endCopy(plots.beginCopy(delivery, 2, 2), PlotJournal::SENT, {}, 0);
    const std::time_t now = std::time(nullptr);
    EXPECT_FALSE(journal.plottedSince("/in/a.plt", now + 5));
    EXPECT_TRUE(journal.plottedSince("/in/a.plt", now - 5));
    EXPECT_FALSE(journal.plottedSince("/in/b.plt", now - 5));

    const std::int64_t other = plots.addDelivery("/in/b.plt", "/in/b.plt", {});
    plots.endCopy(plots.beginCopy(other, 1, 2), PlotJournal::SENT, {}, 0);
    plots.endCopy(plots.beginCopy(other, 2, 2), PlotJournal::FAILED, "port", 0);
    EXPECT_FALSE(journal.plottedSince("/in/b.plt", now - 5));
}

} // namespace
