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
    // The monotonic clock the folders settle their files on, moved by hand.
    FileSettle::TimePoint steady{};
    CIntake intake{automatic, manual, serverFile, [this] { return steady; }};
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

    // Two scans of a folder the settle time apart: the first sees its new files, the second lists them.
    void settledScans(CIntake& scanner, bool automaticFolder)
    {
        for (int scan = 0; scan < 2; ++scan) {
            if (scan > 0)
                steady += FileSettle::SETTLE_TIME;
            if (automaticFolder)
                scanner.pollAutomatic();
            else
                scanner.pollManual();
        }
    }
    void settledScans(bool automaticFolder = true) { settledScans(intake, automaticFolder); }

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
        CIntake scanner(list, manualList, serverFile, [this] { return steady; });
        if (trailingBackslash) {
            serverFile.setString("Receive", "AReceivePath", "C:\\Receive\\");
            serverFile.setString("Receive", "MReceivePath", "C:\\Receive2\\");
        }
        settledScans(scanner, true);
        scanner.pollAutomatic();
        EXPECT_EQ(rows(list), (std::vector<std::string>{"C:\\Receive\\a.plt", "C:\\Receive\\b.plt"}));
        EXPECT_EQ(list.jobAt(0)->state, CPlotJob::STATE_WAITING);
        settledScans(scanner, false);
        scanner.pollManual();
        EXPECT_EQ(rows(manualList), std::vector<std::string>{"C:\\Receive2\\m.plt"});
        EXPECT_EQ(manualList.jobAt(0)->state, CPlotJob::STATE_STANDBY);
    }

    // A folder that does not exist lists nothing and says nothing.
    MessageBoxes boxes;
    serverFile.setString("Receive", "AReceivePath", "/nowhere/at/all");
    settledScans();
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
    settledScans(false);
    EXPECT_EQ(rows(manual), std::vector<std::string>{plot});
    settledScans();
    EXPECT_EQ(rows(automatic), std::vector<std::string>{plot});
    ASSERT_EQ(intake.automaticFilter().leftOut().size(), 1U);
    EXPECT_EQ(intake.automaticFilter().leftOut()[0].path, notes);
    EXPECT_EQ(intake.automaticFilter().leftOut()[0].reason, LeftOutReason::NotAPlotFile);
}

// A file is listed once the scans have seen it unchanged for the settle time of the intake's own clock,
// whatever its modification time says and whatever the wall clock does.
TEST_F(IntakeTest, AFileIsListedOnlyOnceTheScansSawItUnchangedForTheSettleTime)
{
    using namespace std::chrono_literals;
    // Times an hour ahead of and behind the wall clock, as from a file share whose clock differs.
    const std::string ahead = settledFile(autoFolder, "ahead.plt");
    const std::string behind = settledFile(autoFolder, "behind.plt");
    platform::setFileModifiedTime(ahead, std::time(nullptr) + 3600);
    platform::setFileModifiedTime(behind, std::time(nullptr) - 3600);
    // Written in pieces with pauses, an old time put back after each piece by the copying program.
    const std::string growing = settledFile(manualFolder, "growing.plt");
    intake.pollAutomatic();
    intake.pollManual();
    EXPECT_EQ(automatic.rowCount(), 0);
    EXPECT_EQ(manual.rowCount(), 0);
    EXPECT_EQ(intake.untilAutomaticSettles(), std::optional{FileSettle::SETTLE_TIME});
    EXPECT_EQ(intake.untilManualSettles(), std::optional{FileSettle::SETTLE_TIME});

    std::string content = "IN;";
    for (int piece = 0; piece < 3; ++piece) {
        steady += 4900ms;
        content += "PU0,0;PD100,100;";
        dir.write(growing, content);
        platform::setFileModifiedTime(growing, now - 3600);
        intake.pollManual();
        EXPECT_EQ(manual.rowCount(), 0) << "piece " << piece;
        EXPECT_EQ(intake.untilManualSettles(), std::optional{FileSettle::SETTLE_TIME});
    }
    // The same size and the same old time, yet written again: still not settled.
    content.back() = ',';
    dir.write(growing, content);
    platform::setFileModifiedTime(growing, now - 3600);
    steady += 4900ms;
    intake.pollManual();
    EXPECT_EQ(manual.rowCount(), 0);

    // The wall clock jumping has no say; the automatic files settled long ago and are listed in one scan.
    now += 86400;
    EXPECT_EQ(intake.untilAutomaticSettles(), std::optional{std::chrono::steady_clock::duration::zero()});
    intake.pollAutomatic();
    EXPECT_EQ(rows(automatic),
              (std::vector<std::string>{"C:\\Receive\\ahead.plt", "C:\\Receive\\behind.plt"}));
    EXPECT_FALSE(intake.untilAutomaticSettles().has_value());

    steady += 4900ms;
    intake.pollManual();
    EXPECT_EQ(manual.rowCount(), 0);
    EXPECT_EQ(intake.untilManualSettles(), std::optional{std::chrono::steady_clock::duration(100ms)});
    steady += 100ms;
    intake.pollManual();
    EXPECT_EQ(rows(manual), std::vector<std::string>{"C:\\Receive2\\growing.plt"});
    EXPECT_EQ(dir.read(growing), content);
    EXPECT_FALSE(intake.untilManualSettles().has_value());
}

TEST_F(IntakeTest, PlottedFileIsListedFinishedAfterARestartAndAMissingOneIsReported)
{
    const std::string path = settledFile(autoFolder, "done.plt");
    settledScans();
    ASSERT_EQ(automatic.rowCount(), 1);
    ASSERT_TRUE(markPlotted(*automatic.jobAt(0)));
    EXPECT_EQ(*platform::fileModifiedTime(path), localTime(2026, 3, 10, 0, 0, 0));

    CAutoJobList restarted(settings);
    CIntake restartedIntake(restarted, manual, serverFile, [this] { return steady; });
    settledScans(restartedIntake, true);
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
    settledScans(false);
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
        settledScans();
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
    settledScans();
    ASSERT_EQ(rows(automatic), std::vector<std::string>{"C:\\Receive\\A.PLT"});
    serverFile.setString("Receive", "AReceivePath", autoFolder.c_str());
    settledScans();
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
    // The next scans find them listed already; a file of the folder itself is only listed.
    settledScans();
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
