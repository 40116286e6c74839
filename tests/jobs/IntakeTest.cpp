#include "JobTestSupport.h"
#include "TempDir.h"
#include "jobs/CAutoJobList.h"
#include "jobs/CIntake.h"
#include "jobs/CManualJobList.h"
#include "jobs/PlotJournal.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"
#include "platform/FileTime.h"
#include "platform/ProgramFolder.h"
#include "plotdata/ResultCodes.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class IntakeTest : public ::testing::Test {
protected:
    TimeZone zone{"CST-8"};
    TempDir dir;
    ServerSettings settings;
    CAutoJobList automatic{settings};
    CManualJobList manual{settings};
    CProfile serverFile;
    std::time_t now = localTime(2026, 3, 10, 12, 0, 0);
    CIntake intake{automatic, manual, serverFile, [this] { return now; }};
    // Where the Windows folders C:\Receive and C:\Receive2 lie.
    fs::path autoFolder;
    fs::path manualFolder;

    void SetUp() override
    {
        platform::setProgramFolder(dir.path().string());
        serverFile.setPath((dir.path() / "Server.INI").c_str());
        autoFolder = dir.path() / "drive_c" / "Receive";
        manualFolder = dir.path() / "drive_c" / "Receive2";
        fs::create_directories(autoFolder);
        fs::create_directories(manualFolder);
    }
    void TearDown() override { platform::setProgramFolder(""); }

    // A file written some time ago, finished being written.
    std::string settledFile(const fs::path& folder, const std::string& name, const std::string& bytes = "IN;")
    {
        const std::string path = (folder / name).string();
        dir.write(path, bytes);
        platform::setFileModifiedTime(path, now - 3600);
        return path;
    }

    std::vector<std::string> rows(const CJobList& list)
    {
        std::vector<std::string> texts;
        for (int row = 0; row < list.rowCount(); ++row)
            texts.push_back(list.itemText(row, 0));
        return texts;
    }
};

TEST_F(IntakeTest, FolderWithOrWithoutTrailingBackslashGivesTheSameJobs)
{
    settledFile(autoFolder, "b.plt");
    settledFile(autoFolder, "a.plt");
    fs::create_directory(autoFolder / "sub.plt");
    settledFile(manualFolder, "m.plt");

    // The first pass reads the default folders, the second the same folders with a trailing backslash.
    for (bool trailingBackslash : {false, true}) {
        CAutoJobList list(settings);
        CManualJobList manualList(settings);
        CIntake scanner(list, manualList, serverFile, [this] { return now; });
        if (trailingBackslash) {
            serverFile.setString("Receive", "AReceivePath", "C:\\Receive\\");
            serverFile.setString("Receive", "MReceivePath", "C:\\Receive2\\");
        }
        scanner.pollAutomatic();
        scanner.pollAutomatic();
        EXPECT_EQ(rows(list), (std::vector<std::string>{"C:\\Receive\\a.plt", "C:\\Receive\\b.plt"}));
        EXPECT_EQ(list.jobAt(0)->state, CPlotJob::STATE_WAITING);
        scanner.pollManual();
        scanner.pollManual();
        EXPECT_EQ(rows(manualList), std::vector<std::string>{"C:\\Receive2\\m.plt"});
        EXPECT_EQ(manualList.jobAt(0)->state, CPlotJob::STATE_STANDBY);
    }

    // A folder that does not exist lists nothing and says nothing.
    MessageBoxes boxes;
    serverFile.setString("Receive", "AReceivePath", "/nowhere/at/all");
    intake.pollAutomatic();
    EXPECT_EQ(automatic.rowCount(), 0);
    EXPECT_TRUE(boxes.texts.empty());
}

// The window's lists take plots only: a folder holding the settings lists neither the settings files
// (even one that starts like a plot) nor files that are no plot, and tells why the latter were left out.
TEST_F(IntakeTest, TheSettingsFolderAsReceiveFolderListsOnlyItsPlots)
{
    for (const char* name : {"Plotter.INI", "Journal.db-wal", "Marquill.lock"})
        settledFile(dir.path(), name, "IN;PU0,0;PD100,0;");
    const std::string notes = settledFile(dir.path(), "notes.txt", "call the customer");
    const std::string plot = settledFile(dir.path(), "m.plt", "IN;PU0,0;PD100,0;");
    serverFile.setString("Receive", "MReceivePath", dir.path().c_str());
    serverFile.setString("Receive", "AReceivePath", dir.path().c_str());
    intake.pollManual();
    EXPECT_EQ(rows(manual), std::vector<std::string>{plot});
    intake.pollAutomatic();
    EXPECT_EQ(rows(automatic), std::vector<std::string>{plot});
    ASSERT_EQ(intake.automaticFilter().leftOut().size(), 1U);
    EXPECT_EQ(intake.automaticFilter().leftOut()[0].path, notes);
    EXPECT_EQ(intake.automaticFilter().leftOut()[0].reason, LeftOutReason::NotAPlotFile);
}

TEST_F(IntakeTest, FileStillBeingWrittenWaitsForALaterScan)
{
    const std::string path = (autoFolder / "growing.plt").string();
    dir.write(path, "IN;");
    platform::setFileModifiedTime(path, now - 2);
    intake.pollAutomatic();
    EXPECT_EQ(automatic.rowCount(), 0);

    // Grown since, with an old time put on it by the copying program: still not listed.
    now += 10;
    dir.write(path, "IN;PU0,0;PD100,100;");
    platform::setFileModifiedTime(path, now - 3600);
    intake.pollAutomatic();
    EXPECT_EQ(automatic.rowCount(), 0);

    // Unchanged since the previous scan and old enough.
    now += 10;
    intake.pollAutomatic();
    EXPECT_EQ(automatic.rowCount(), 1);

    // A time just ahead of the clock is as recent as one just behind it.
    const std::string ahead = settledFile(autoFolder, "ahead.plt");
    platform::setFileModifiedTime(ahead, now + 3);
    intake.pollAutomatic();
    EXPECT_EQ(automatic.rowCount(), 1);
    now += 10;
    intake.pollAutomatic();
    EXPECT_EQ(automatic.rowCount(), 2);
}

TEST_F(IntakeTest, PlottedFileIsListedFinishedAfterARestartAndAMissingOneIsReported)
{
    const std::string path = settledFile(autoFolder, "done.plt");
    intake.pollAutomatic();
    ASSERT_EQ(automatic.rowCount(), 1);
    ASSERT_TRUE(markPlotted(*automatic.jobAt(0)));
    EXPECT_EQ(*platform::fileModifiedTime(path), localTime(2026, 3, 10, 0, 0, 0));

    CAutoJobList restarted(settings);
    CIntake restartedIntake(restarted, manual, serverFile, [this] { return now; });
    restartedIntake.pollAutomatic();
    ASSERT_EQ(restarted.rowCount(), 1);
    EXPECT_EQ(restarted.jobAt(0)->state, CPlotJob::STATE_FINISHED);
    EXPECT_EQ(restarted.itemText(0, 3), "0/0");

    MessageBoxes boxes;
    fs::remove(path);
    EXPECT_FALSE(markPlotted(*automatic.jobAt(0)));
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"没有找到 C:\\Receive\\done.plt。"});
}

TEST_F(IntakeTest, SendToAutomaticCopiesTheSettingsOnceAsStandby)
{
    settledFile(manualFolder, "m.plt");
    intake.pollManual();
    intake.sendToAutomatic();
    EXPECT_EQ(automatic.rowCount(), 0);

    manual.select(0);
    CPlotJob* source = manual.jobAt(0);
    source->options = CPlotJob::OPTION_ROTATE;
    source->length = 1234;
    source->sectionLimit = 3;
    source->copies = 4;
    source->messageId = RESULT_NOT_ENOUGH_MEDIA;
    intake.sendToAutomatic();
    intake.sendToAutomatic();
    ASSERT_EQ(automatic.rowCount(), 1);
    EXPECT_EQ(manual.rowCount(), 1);
    const CPlotJob* job = automatic.jobAt(0);
    EXPECT_STREQ(job->path, "C:\\Receive2\\m.plt");
    EXPECT_EQ(job->state, CPlotJob::STATE_STANDBY);
    EXPECT_EQ(job->options, CPlotJob::OPTION_ROTATE);
    EXPECT_EQ(job->sectionLimit, 3u);
    EXPECT_EQ(job->copies, 1);
    EXPECT_EQ(job->messageId, 0);
    EXPECT_EQ(automatic.itemText(0, 1), "1234mm");
}

class DeleteOldPlottedTest : public IntakeTest {
protected:
    std::string today, yesterday, waiting, copied;
    std::unique_ptr<PlotJournal> journal;

    void SetUp() override
    {
        IntakeTest::SetUp();
        today = settledFile(autoFolder, "today.plt");
        yesterday = settledFile(autoFolder, "yesterday.plt");
        waiting = settledFile(autoFolder, "waiting.plt");
        // Copied in with its times kept: it carries the mark, but was never plotted here.
        copied = settledFile(autoFolder, "copied.plt");
        platform::setFileModifiedTime(today, localTime(2026, 3, 10, 0, 0, 0));
        platform::setFileModifiedTime(yesterday, localTime(2026, 3, 9, 0, 0, 0));
        platform::setFileModifiedTime(waiting, localTime(2026, 3, 1, 8, 0, 0));
        platform::setFileModifiedTime(copied, localTime(2026, 3, 2, 0, 0, 0));
        journal = std::make_unique<PlotJournal>(dir.path().string());
        for (const std::string& path : {today, yesterday}) {
            const std::int64_t delivery = journal->addDelivery(path, path, stampFile(path));
            journal->endCopy(journal->beginCopy(delivery, 1, 1), PlotJournal::SENT, {}, 0);
        }
        intake.pollAutomatic();
        ASSERT_EQ(automatic.rowCount(), 4);
    }

    std::vector<bool> present() const
    {
        return {fs::exists(today), fs::exists(yesterday), fs::exists(waiting), fs::exists(copied)};
    }
};

TEST_F(DeleteOldPlottedTest, AgeCountsWholeDaysFromTheDayTheJobFinished)
{
    for (int rule : {0, 9, -1})
        deleteOldPlotted(automatic, rule, now + 1000 * 86400, journal.get());
    // Without a journal nothing is known to be plotted.
    deleteOldPlotted(automatic, 1, now, nullptr);
    deleteOldPlotted(automatic, 3, now, journal.get());
    EXPECT_EQ(present(), (std::vector<bool>{true, true, true, true}));
    deleteOldPlotted(automatic, 2, now, journal.get());
    EXPECT_EQ(present(), (std::vector<bool>{true, false, true, true}));
    // At exit: every finished file the journal records; one already gone is skipped without a message.
    MessageBoxes boxes;
    deleteOldPlotted(automatic, 1, now, journal.get());
    EXPECT_EQ(present(), (std::vector<bool>{false, false, true, true}));
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(DeleteOldPlottedTest, AFileWrittenAnewAfterItsCopyIsKept)
{
    dir.write(today, "IN;PU0,0;");
    platform::setFileModifiedTime(today, localTime(2026, 3, 10, 0, 0, 0));
    deleteOldPlotted(automatic, 1, now, journal.get());
    EXPECT_EQ(present(), (std::vector<bool>{true, false, true, true}));
}

TEST(CleanTemporary, DeletesMatchingFilesNoJobNames)
{
    TempDir dir;
    ::setenv("TMPDIR", dir.path().c_str(), 1);
    ServerSettings settings;
    CAutoJobList automatic(settings);
    for (const char* name : {"OSI1.TMP", "osi2.tmp", "OsiKept.Tmp", "OSI3.TMP.bak", "XOSI4.TMP", "OSI.TM"})
        dir.write(name, "x");
    fs::create_directory(dir.path() / "OSIdir.TMP");
    // Listed with another letter case: kept all the same.
    automatic.addJob(dir.file("OSIKEPT.TMP"));

    cleanTemporary(automatic);
    ::unsetenv("TMPDIR");
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left,
              (std::vector<std::string>{"OSI.TM", "OSI3.TMP.bak", "OSIdir.TMP", "OsiKept.Tmp", "XOSI4.TMP"}));
}

// A job is its file: the folder named through its drive folder lists nothing twice.
TEST_F(IntakeTest, AFolderSpeltTwoWaysListsEachFileOnce)
{
    settledFile(autoFolder, "A.PLT");
    intake.pollAutomatic();
    ASSERT_EQ(rows(automatic), std::vector<std::string>{"C:\\Receive\\A.PLT"});
    serverFile.setString("Receive", "AReceivePath", autoFolder.c_str());
    intake.pollAutomatic();
    EXPECT_EQ(automatic.rowCount(), 1);
    EXPECT_TRUE(automatic.hasPath((autoFolder / "a.plt").string()));
}

// Files added by hand are copied into the receive folder and listed at once, the folder staying the queue.
TEST_F(IntakeTest, AddedFilesAreCopiedIntoTheReceiveFolderAndListedAtOnce)
{
    MessageBoxes boxes;
    fs::create_directory(dir.file("elsewhere"));
    const std::string outside = dir.write("elsewhere/A.PLT", "IN;PD1,1;");
    EXPECT_EQ(intake.addFile(outside, true), 0);
    EXPECT_EQ(intake.addFile(outside, true), 1);
    EXPECT_EQ(rows(automatic), (std::vector<std::string>{"C:\\Receive\\A.PLT", "C:\\Receive\\A (2).PLT"}));
    EXPECT_EQ(automatic.jobAt(0)->state, CPlotJob::STATE_WAITING);
    EXPECT_EQ(dir.read((autoFolder / "A (2).PLT").string()), "IN;PD1,1;");
    // The next scan finds them listed already; a file of the folder itself is only listed.
    intake.pollAutomatic();
    EXPECT_EQ(automatic.rowCount(), 2);
    const std::string inside = settledFile(manualFolder, "M.PLT");
    EXPECT_EQ(intake.addFile(inside, false), 0);
    EXPECT_EQ(rows(manual), std::vector<std::string>{"C:\\Receive2\\M.PLT"});
    EXPECT_EQ(std::distance(fs::directory_iterator(manualFolder), fs::directory_iterator()), 1);

    EXPECT_EQ(intake.addFile(dir.file("missing.plt"), true), -1);
    EXPECT_EQ(intake.addFile(dir.path().string(), true), -1);
    EXPECT_EQ(boxes.texts.size(), 2U);
    EXPECT_EQ(automatic.rowCount(), 2);
}

} // namespace
