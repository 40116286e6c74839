#pragma once

#include "jobs/CReceiveFolder.h"
#include "jobs/IntakeFilter.h"

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

class CAutoJobList;
class CManualJobList;
class CProfile;
class PlotJournal;
struct CPlotJob;

// Fills the two lists from their receive folders ([Receive] AReceivePath and MReceivePath of
// Server.INI, read again at every scan) and moves single jobs from the manual list into the queue.
// Files are never moved: a job refers to its file where it lies.
class CIntake {
public:
    // The folders settle their files on the monotonic clock given (see CReceiveFolder).
    CIntake(CAutoJobList& automatic, CManualJobList& manual, const CProfile& serverFile,
            const FileSettle::Clock& clock = &std::chrono::steady_clock::now);

    // Scans the automatic receive folder: every new file becomes a waiting job, or a finished one when it
    // carries the plotted mark. Files that are no plot and the settings folder's own files are left out
    // (see IntakeFilter).
    void pollAutomatic();
    // Scans the manual receive folder into the manual list, leaving out what the automatic scan does.
    void pollManual();
    // What the last scan of the automatic folder left out.
    const IntakeFilter& automaticFilter() const { return automaticFilter_; }
    // Both folders settle their files on this clock from now on.
    void setSettleClock(const FileSettle::Clock& clock);
    // When a file the automatic folder holds back would settle; nothing when none is held back.
    std::optional<FileSettle::TimePoint> nextSettle() const { return automaticFolder_.nextSettle(); }
    // How long from now until a file the automatic or the manual folder holds back would settle, so that
    // a scan then lists it; nothing when none is held back.
    std::optional<std::chrono::steady_clock::duration> untilAutomaticSettles() const
    {
        return automaticFolder_.untilNextSettle();
    }
    std::optional<std::chrono::steady_clock::duration> untilManualSettles() const
    {
        return manualFolder_.untilNextSettle();
    }
    // Copies a plot file into the receive folder of the automatic or the manual list, so that the folder
    // stays what the list holds, and lists it at once. A file already in that folder is only listed; a
    // name taken in the folder gets " (2)", " (3)"... before its extension. Returns the new row, or -1
    // when nothing was listed; a file that cannot be read or copied is reported.
    int addFile(const std::string& source, bool automatic);
    // Copies the selected manual job into the queue as a standby job with one copy, unless the queue
    // already lists its path. The manual row stays.
    void sendToAutomatic();

    // The receive folders as Server.INI names them now.
    static std::string automaticFolder(const CProfile& serverFile);
    static std::string manualFolder(const CProfile& serverFile);

private:
    CAutoJobList& automatic_;
    CManualJobList& manual_;
    const CProfile& serverFile_;
    CReceiveFolder automaticFolder_;
    CReceiveFolder manualFolder_;
    IntakeFilter automaticFilter_;
    IntakeFilter manualFilter_;
};

// Sets the plotted mark on the job's file: its modification time becomes local midnight of the day it
// was last modified. A file that cannot be read or changed is reported; false then.
bool markPlotted(const CPlotJob& job);

// The deletion at exit: deletes the files of the queue's finished jobs that are at least as many whole
// days old (counted from now) as the AutoDeleType rule asks: 1 any age, 2 to 8 one, 3, 7, 15, 30, 60 and
// 100 days; 0 and values outside 0 to 8 delete nothing. Only a file the journal records as plotted from
// this settings folder, with the content it holds now, is deleted, and its deletion is journaled: a file
// that merely carries the plotted mark (copied with its times kept) is left alone, as is every file
// without a journal. Files already gone are skipped; the first file that cannot be deleted is reported
// and ends the deletion. Returns the paths of the files deleted.
std::vector<std::string> deleteOldPlotted(const CAutoJobList& automatic, int autoDeleType, std::time_t now,
                                          PlotJournal* journal);

// Deletes the files named OSI*.TMP (any letter case) in the temporary folder ($TMPDIR, else /tmp) that
// no row of the queue names. The first file that cannot be deleted is reported and ends the clean-up.
void cleanTemporary(const CAutoJobList& automatic);
