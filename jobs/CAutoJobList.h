#pragma once

#include "jobs/CJobList.h"

// The automatic list: the plotting queue. Every job command acts on it and only its jobs are plotted.
// It also keeps the run state shared between the commands and a copy in progress: the run mode (0 idle,
// 1 pause after the job, 2 pause between pages, 3 one job, 4 automatic sequence) and the running row.
class CAutoJobList : public CJobList {
public:
    // Columns: path, length, section length, copies, state (or the progress of the running row).
    static constexpr int COLUMN_LENGTH = 1;
    static constexpr int COLUMN_SECTION = 2;
    static constexpr int COLUMN_COPIES = 3;
    static constexpr int COLUMN_STATE = 4;

    explicit CAutoJobList(const ServerSettings& settings);

    int runMode() const { return runMode_; }
    void setRunMode(int mode) { runMode_ = mode; }
    // The row being plotted, -1 when none. It follows its row when rows above it are deleted.
    int runningJob() const { return runningJob_; }
    void setRunningJob(int row) { runningJob_ = row; }
    // The job whose copy is being output, null between copies. A stop clears the running row while the
    // copy still unwinds through the port; this keeps the record alive until the copy has returned.
    void setJobInOutput(const CPlotJob* job) { jobInOutput_ = job; }
    const CPlotJob* jobInOutput() const { return jobInOutput_; }
    // The row is the running one or holds the job in output: it cannot be deleted or toggled.
    bool isInUse(int row) const;

    // Appends a row for the path unless a row already has it (any letter case) or it does not fit a job.
    // Without a record, a waiting job is made; a file carrying the plotted mark is listed finished with no
    // copies. Returns the new row, or -1 when nothing was added (a given record is then discarded).
    int addJob(std::string_view path, std::unique_ptr<CPlotJob> job = nullptr);

    // Sets the row's texts of columns 1 to 4 from its record and redraws it.
    void refreshRow(int row);
    void redrawRow(int row);
    // Clears the running row and redraws every row, after settings that the drawing uses have changed.
    void redrawAll();
    // The state column as drawn: the job's state text, or on the running row the progress of its copy.
    std::string stateColumnText(int row) const;
    // The running row's state column during a copy.
    void setProgressText(int row, const std::string& text);
    // Shows on the running row that the device is not taking data, and tells the view.
    void setStalledText(int row, const std::string& text);

    // The first row from `from` on with a waiting job that has copies left, or -1. A waiting job without
    // copies left on the way becomes finished.
    int nextWaitingJob(int from);

    // Deletes the selected job's file, then its row; the running row is refused. False when nothing was
    // deleted; a file that cannot be deleted has been reported and its row stays.
    bool deleteSelectedJob();
    // Sets the run mode to 0 and deletes every job's file and row, first row first, except the row in
    // use by the run, which the run ends itself. Stops at the first file that cannot be deleted (reported).
    bool deleteAllJobs();
    // Removes the row of a job not in use by the run and leaves its file alone: for a queue that forgets
    // jobs whose files have gone. False for a row in use or that does not exist.
    bool forgetJob(int row);
    // One copy more for the selected job; a finished job becomes standby.
    void addCopy();
    // One copy less for the selected job while it has copies not yet plotted.
    void removeCopy();

    // A left-button press at x (list coordinates) on the row, whose label starts at labelLeft: the state
    // icon (x above 16 up to 32) switches standby to waiting and anything else to standby, the half-cut
    // icon (up to 48) and the feed icon (up to labelLeft + 48) invert their options. True when the press
    // changed the job and is not to reach the list's own handling.
    bool pressAt(int row, int x, int labelLeft);

private:
    bool deleteRowAndFile(int row);

    int runMode_ = 0;
    int runningJob_ = -1;
    const CPlotJob* jobInOutput_ = nullptr;
};
