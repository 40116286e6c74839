#include "JobTestSupport.h"
#include "TempDir.h"
#include "jobs/CAutoJobList.h"
#include "jobs/JobTexts.h"
#include "jobs/RunTexts.h"
#include "output/ServerSettings.h"
#include "platform/FileTime.h"
#include "plotdata/ResultCodes.h"
#include "res/strings/EnglishStrings.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class AutoListTest : public ::testing::Test {
protected:
    ServerSettings settings;
    CAutoJobList list{settings};
    RecordingView view;
    TempDir dir;

    void SetUp() override { list.setView(&view); }

    // Lists plot files with an ordinary (unmarked) modification time.
    void addFiles(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            const std::string path = dir.write(name, "IN;PD100,0;");
            platform::setFileModifiedTime(path, localTime(2026, 3, 14, 15, 9, 26));
            list.addJob(path);
        }
    }
};

TEST_F(AutoListTest, NewJobTakesTheSettingsAndEachPathIsListedOnce)
{
    settings.Section = 700;
    settings.MirrorY = 1;
    settings.DashPlot = 1;
    addFiles({"Plot.PLT"});
    const CPlotJob* job = list.jobAt(0);
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->state, CPlotJob::STATE_WAITING);
    EXPECT_EQ(job->options, 0x0D);
    EXPECT_EQ(list.itemText(0, 2), "700mm");
    EXPECT_EQ(list.itemText(0, 3), "0/1");

    std::string upper = dir.file("Plot.PLT");
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    EXPECT_EQ(list.addJob(upper), -1);
    EXPECT_EQ(list.addJob(dir.file("plot.plt"), std::make_unique<CPlotJob>()), -1);
    EXPECT_EQ(list.addJob(dir.file("Plot.PLT2")), 1);
    // The record's path field holds 299 characters.
    EXPECT_EQ(list.addJob("/" + std::string(298, 'a')), 2);
    EXPECT_EQ(list.addJob("/" + std::string(299, 'b')), -1);
}

TEST_F(AutoListTest, FileModifiedAtLocalMidnightIsListedFinishedWithNoCopies)
{
    TimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    const std::string marked = dir.write("marked.plt", "IN;");
    const std::string almost = dir.write("almost.plt", "IN;");
    // Daylight saving begins later on this day: its midnight is standard time.
    ASSERT_TRUE(platform::setFileModifiedTime(marked, localTime(2026, 3, 8, 0, 0, 0)));
    ASSERT_TRUE(platform::setFileModifiedTime(almost, localTime(2026, 3, 8, 0, 0, 1)));

    EXPECT_EQ(list.jobAt(list.addJob(marked))->state, CPlotJob::STATE_FINISHED);
    EXPECT_EQ(list.itemText(0, 3), "0/0");
    EXPECT_EQ(list.itemText(0, 4), "Finished!");
    EXPECT_EQ(list.jobAt(list.addJob(almost))->state, CPlotJob::STATE_WAITING);
    EXPECT_EQ(list.nextWaitingJob(0), 1);
}

TEST_F(AutoListTest, NextWaitingJobFinishesSpentJobsOnTheWay)
{
    addFiles({"1.plt", "2.plt", "3.plt", "4.plt"});
    list.jobAt(0)->state = CPlotJob::STATE_STANDBY;
    list.jobAt(1)->copiesDone = 1;
    list.jobAt(2)->state = CPlotJob::STATE_FAILED;

    view.changed.clear();
    EXPECT_EQ(list.nextWaitingJob(0), 3);
    EXPECT_EQ(list.jobAt(0)->state, CPlotJob::STATE_STANDBY);
    EXPECT_EQ(list.jobAt(1)->state, CPlotJob::STATE_FINISHED);
    EXPECT_EQ(list.jobAt(2)->state, CPlotJob::STATE_FAILED);
    EXPECT_EQ(view.changed, std::vector<int>{1});
    EXPECT_EQ(list.nextWaitingJob(4), -1);
}

TEST_F(AutoListTest, CopyCommandsAndTheirEffectOnTheQueue)
{
    addFiles({"a.plt"});
    list.select(0);
    CPlotJob* job = list.jobAt(0);

    // One copy less down to none: the row reads finished and the run skips the job.
    list.removeCopy();
    list.removeCopy();
    EXPECT_EQ(job->copies, 0);
    EXPECT_EQ(list.itemText(0, 4), "Finished!");
    EXPECT_EQ(list.nextWaitingJob(0), -1);

    // One more copy on a finished job makes it standby, not waiting.
    list.addCopy();
    EXPECT_EQ(job->copies, 1);
    EXPECT_EQ(job->state, CPlotJob::STATE_STANDBY);
    EXPECT_EQ(list.itemText(0, 4), "Stand");
    EXPECT_EQ(list.nextWaitingJob(0), -1);
}

TEST_F(AutoListTest, PressOnTheIconsTogglesStateAndOptionsExceptOnTheRunningRow)
{
    addFiles({"a.plt"});
    CPlotJob* job = list.jobAt(0);
    const int labelLeft = 20;

    EXPECT_FALSE(list.pressAt(0, 16, labelLeft));
    EXPECT_FALSE(list.pressAt(0, labelLeft + 48, labelLeft));
    EXPECT_EQ(job->state, CPlotJob::STATE_WAITING);
    EXPECT_TRUE(list.pressAt(0, 17, labelLeft));
    EXPECT_EQ(job->state, CPlotJob::STATE_STANDBY);
    job->messageId = RESULT_NOT_ENOUGH_MEDIA;
    EXPECT_TRUE(list.pressAt(0, 32, labelLeft));
    EXPECT_EQ(job->state, CPlotJob::STATE_WAITING);
    EXPECT_EQ(job->messageId, 0);
    EXPECT_TRUE(list.pressAt(0, 33, labelLeft));
    EXPECT_TRUE(list.pressAt(0, 49, labelLeft));
    EXPECT_EQ(job->options, CPlotJob::OPTION_HALF_CUT);

    list.setRunningJob(0);
    EXPECT_FALSE(list.pressAt(0, 20, labelLeft));
    EXPECT_FALSE(list.pressAt(0, 40, labelLeft));
    EXPECT_EQ(job->state, CPlotJob::STATE_WAITING);
    EXPECT_EQ(job->options, CPlotJob::OPTION_HALF_CUT);
}

TEST_F(AutoListTest, DeleteRemovesFileThenRowButNeverTheRunningJob)
{
    addFiles({"a.plt", "b.plt", "c.plt"});
    list.setRunningJob(2);
    list.select(2);
    EXPECT_FALSE(list.deleteSelectedJob());
    EXPECT_TRUE(fs::exists(dir.file("c.plt")));

    list.select(0);
    EXPECT_TRUE(list.deleteSelectedJob());
    EXPECT_FALSE(fs::exists(dir.file("a.plt")));
    EXPECT_EQ(list.rowCount(), 2);
    // The running index follows its row.
    EXPECT_EQ(list.runningJob(), 1);
    EXPECT_STREQ(list.jobAt(1)->path, dir.file("c.plt").c_str());
}

TEST_F(AutoListTest, DeleteAllWhileRunningLeavesTheRunningJobToTheRun)
{
    addFiles({"1.plt", "2.plt", "3.plt", "4.plt"});
    const CPlotJob* running = list.jobAt(2);
    list.setRunningJob(2);
    list.setRunMode(4);

    EXPECT_TRUE(list.deleteAllJobs());
    EXPECT_EQ(list.runMode(), 0);
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.jobAt(0), running);
    EXPECT_EQ(list.runningJob(), 0);
    EXPECT_TRUE(fs::exists(dir.file("3.plt")));
    EXPECT_FALSE(fs::exists(dir.file("4.plt")));

    // A stop clears the running row while the copy still unwinds: its job stays all the same.
    list.setJobInOutput(running);
    list.setRunningJob(-1);
    list.select(0);
    EXPECT_FALSE(list.deleteSelectedJob());
    EXPECT_TRUE(list.deleteAllJobs());
    EXPECT_EQ(list.rowCount(), 1);

    list.setJobInOutput(nullptr);
    EXPECT_TRUE(list.deleteAllJobs());
    EXPECT_EQ(list.rowCount(), 0);
}

// A file already gone counts as deleted; any other failure is reported and stops the command there.
TEST_F(AutoListTest, VanishedFilesAreDeletedRowsAndOtherFailuresEndTheCommand)
{
    MessageBoxes boxes;
    addFiles({"1.plt", "2.plt", "3.plt", "4.plt"});
    fs::remove(dir.file("2.plt"));
    list.select(1);
    EXPECT_TRUE(list.deleteSelectedJob());
    EXPECT_EQ(list.rowCount(), 3);
    fs::remove(dir.file("3.plt"));
    // A directory where the file was cannot be unlinked: that one is reported.
    fs::create_directory(dir.file("4.plt.d"));
    fs::remove(dir.file("4.plt"));
    fs::rename(dir.file("4.plt.d"), dir.file("4.plt"));
    EXPECT_FALSE(list.deleteAllJobs());
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_STREQ(list.jobAt(0)->path, dir.file("4.plt").c_str());
    EXPECT_FALSE(fs::exists(dir.file("1.plt")));
    ASSERT_EQ(boxes.texts.size(), 1U);
    EXPECT_NE(boxes.texts.front().find(dir.file("4.plt")), std::string::npos);
}

TEST(JobTexts, InchesWithTwoDecimalsAndResultsInTheProgramsOwnText)
{
    EXPECT_EQ(lengthText(1000, true), "39.37 In");
    EXPECT_EQ(sectionText(500, false), "500 mm");
    EXPECT_EQ(remainingMediaText(1000, true), "剩余材料长度:39.37 Inch");

    CPlotJob job;
    job.state = CPlotJob::STATE_FAILED;
    strings::useEnglishStrings(strings::englishString);
    EXPECT_EQ(stateText(job), "Standby");
    job.messageId = RESULT_LIBRARY_FAILED;
    EXPECT_EQ(stateText(job), "动态库调动失败 / 没有找到动态库!");
    strings::useEnglishStrings(nullptr);
}

} // namespace
