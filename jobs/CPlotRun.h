#pragma once

// The output run, implemented in RunCommands.cpp (the start, pause and stop commands), RunLoop.cpp (the
// run command: job after job, copy after copy) and OutputCopy.cpp (one copy: layout, sections, bands).

#include "jobs/CopyProgress.h"
#include "jobs/PlotJournal.h"
#include "jobs/RollCount.h"
#include "jobs/SectionCharges.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class CAutoJobList;
class CCutInfo;
class CJobListView;
class CPlot;
class CPlotPort;
class CPlotterDevice;
class CProfile;
class CSectionCutter;
class PlotTimeMeter;
enum class PassEnd;
struct CPlotJob;
struct ServerSettings;

// Run modes of the automatic list: what the run does once the running job's copy is out.
constexpr int RUN_IDLE = 0;       // end after the current copy
constexpr int RUN_PAUSE = 1;      // finish the running job's copies, then stop
constexpr int RUN_PAGE_PAUSE = 2; // one copy of the designated job, then stop; the mode stays
constexpr int RUN_ONE_JOB = 3;    // the designated job's remaining copies, then back to idle
constexpr int RUN_AUTOMATIC = 4;  // job after job until no waiting job is left

// The job commands of the automatic list and the run they start. Everything runs on one thread: a start
// command marks the running row, sets the run mode and posts ID_RUN to the list's view; the view hands it
// back to run(), which plots copy by copy. While a copy is written the port runs the message step, so
// pause, stop and the other commands arrive in the middle of a copy; they reach the run only through the
// run mode, the running row and the device's stop flag.
//
// With a settings file the run keeps the plot journal of its folder (see PlotJournal): the delivery of
// every loaded file, each copy with its sections as they are sent, and how the copy ended, committed
// before the next copy begins and before the file gets the plotted mark.
class CPlotRun {
public:
    CPlotRun(CAutoJobList& list, ServerSettings& settings, CCutInfo& cutInfo, CPlotterDevice& device);
    ~CPlotRun();

    void startOneJob();
    void startWithPagePause();
    void startAutomaticSequence();
    void pause();
    void stop();
    // Deletes every job and its file, as the list's delete all does, and stops the copy in output.
    bool deleteAllJobs();
    // The handler of the posted ID_RUN: plots the running job and, in the automatic sequence, every
    // waiting job after it.
    void run();

    // After a scan of the receive folder: the automatic sequence goes on with the next waiting job when the
    // run mode is 4 and no job is running.
    void startAfterScan();

    // Plots one copy of the row's job. Returns 0 or the id of the result text.
    int plotCopy(int row);
    // Whether the media left on the roll holds the job as its sections will lay it out; false for a job
    // whose plot is not loaded.
    bool enoughMedia(const CPlotJob& job) const;
    // Lays the job's plot out on the media and sends it, section by section and band by band. Returns 0;
    // RESULT_PORT_OPEN_FAILED or RESULT_PORT_WRITE_FAILED, with the job's message text set, when a pass
    // could not open the port or the port took no more; RESULT_NOT_ENOUGH_MEDIA when the media ran out
    // before the job's last band; RESULT_NOTHING_ON_MEDIA when nothing of the drawing lies on the media;
    // RESULT_STOPPED when a stop ended the copy before all of it was sent.
    int outputCopy(CPlotJob& job);

    // Sends to this port name or path instead of the [CutInfo] port; empty goes back to it.
    void setPortOverride(std::string nameOrPath) { portOverride_ = std::move(nameOrPath); }
    // Whether finished jobs' files get the plotted mark (they do unless switched off).
    void setMarkPlotted(bool on) { markPlotted_ = on; }
    // Keeps the remaining media length in step with this settings file after every copy (see RollCount);
    // null writes nothing. A file that cannot be written is reported once until a later write succeeds.
    // The receive folders it names are kept from the port's writes.
    void setServerFile(CProfile* serverFile);
    // The roll count kept in the settings file, for callers that meet the file between copies as well;
    // null without a settings file.
    RollCount* rollCount() { return rollCount_ ? &*rollCount_ : nullptr; }
    // The journal of the settings file's folder; null without a settings file.
    PlotJournal* journal() { return journal_.get(); }
    // A run that only works out what a copy would send: its writes run no message step, and it tells no
    // progress and sets no row text (CopyEstimate), so that it can run on a thread of its own.
    void setDryRun(bool on) { dryRun_ = on; }

private:
    bool runGoingOn() const;
    // How the passes of a copy ended.
    enum class CopyEnd { Sent, PortFailed, WriteFailed, MediaRanOut, Stopped };

    void plotRunningJob(int row);
    CCutInfo copySettings(const CPlotJob& job) const;
    PassEnd passEnd(const CCutInfo& copy) const;
    CopyEnd sendBands(const CPlotJob& job, const CPlot& plot, CSectionCutter& cutter, CPlotPort& port,
                      float mediaWidth);
    std::unique_ptr<CPlot> layOut(CPlotJob& job) const;
    bool outputBand(const CPlotJob& job, const CPlot& plot, CSectionCutter& cutter, float y0, float y1,
                    std::int32_t& consumed, std::int32_t& charged);
    // Takes the media the band used since the last charge off the roll, and journals it as a section.
    void chargeMedia(const CPlotPort& port, std::int32_t consumed, std::int32_t& charged, bool passEnded);
    // The journal's side of a copy (RunJournal.cpp).
    void journalDelivery(CPlotJob& job);
    void journalCopyBegins(const CPlotJob& job);
    void journalCopyEnds(const CPlotJob& job, int result);
    void reportJournal();
    // The progress of the copy in output, told to the view (RunProgress.cpp): estimated at its start,
    // followed through the stream as it is sent, and ended.
    void beginProgress(CPlotJob& job);
    void reportProgress(const CPlotJob& job);
    void endProgress(const CPlotJob& job);
    void recoverRollCount();
    void markJobPlotted(const CPlotJob& job) const;
    void saveRemainingMedia();
    void protectRunFiles();
    void finishStoppedPass(CPlotPort& port);
    int rowOf(const CPlotJob* job) const;
    void redrawRunningRow();
    void showRemainingMedia();
    CJobListView& view() const;

    CAutoJobList& list_;
    ServerSettings& settings_;
    CCutInfo& cutInfo_;
    CPlotterDevice& device_;
    std::string portOverride_;
    bool markPlotted_ = true;
    // Whether the copy in output has sent any of its drawing.
    bool sentDrawing_ = false;
    // The sections of the band in output, charged as the device takes them.
    SectionCharges sectionCharges_;
    CProfile* serverFile_ = nullptr;
    std::optional<RollCount> rollCount_;
    bool mediaSaveReported_ = false;
    std::unique_ptr<PlotJournal> journal_;
    std::int64_t journalCopy_ = 0;
    bool journalReported_ = false;
    // The file, content and text of the last copy whose port could not be opened: the same again is no
    // new failure but the device still away, and is not journaled once more.
    std::string lastPortFailure_;
    bool dryRun_ = false;
    std::unique_ptr<PlotTimeMeter> liveMeter_;
    CopyProgress progress_;
    // The media of the copy's passes delivered whole, charged in memory and journaled with the copy's end.
    std::int64_t heldMedia_ = 0;
    // Lives as long as the run, for the port's lookup of the listed files.
    std::shared_ptr<const int> alive_ = std::make_shared<const int>(0);
};
