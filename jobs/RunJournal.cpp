#include "jobs/CPlotRun.h"

#include "jobs/CPlotJob.h"
#include "jobs/RunTexts.h"
#include "output/CPlotterDevice.h"
#include "output/ServerSettings.h"
#include "platform/Hooks.h"
#include "platform/PathMapping.h"
#include "plotdata/ResultCodes.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <utility>

// A content loaded anew is a delivery of its own.
void CPlotRun::journalDelivery(CPlotJob& job)
{
    if (!journal_ || job.delivery != 0)
        return;
    job.delivery = journal_->addDelivery(job.path, platform::toFileSystemPath(job.path), job.stamp);
    reportJournal();
}

void CPlotRun::journalCopyBegins(const CPlotJob& job)
{
    journalCopy_ = 0;
    heldMedia_ = 0;
    if (!journal_ || job.delivery == 0)
        return;
    journalCopy_ = journal_->beginCopy(job.delivery, job.copiesDone + 1, job.copies);
    reportJournal();
}

void CPlotRun::journalCopyEnds(const CPlotJob& job, int result)
{
    const std::int64_t held = std::exchange(heldMedia_, 0);
    if (!journal_ || journalCopy_ == 0)
        return;
    const char* kind = PlotJournal::FAILED;
    std::string text;
    if (result == RESULT_OK) {
        kind = PlotJournal::SENT;
    } else if (result == RESULT_STOPPED) {
        kind = PlotJournal::STOPPED;
    } else {
        text = job.messageText.empty() ? strings::localString(result) : job.messageText;
    }
    if (result == RESULT_PORT_OPEN_FAILED) {
        std::string failure = std::string(job.path) + '\n' + job.stamp.sha256 + '\n' + text;
        if (failure == lastPortFailure_) {
            journal_->discardCopy(journalCopy_);
            journalCopy_ = 0;
            reportJournal();
            return;
        }
        lastPortFailure_ = std::move(failure);
    } else {
        lastPortFailure_ = {};
    }
    // A port that names its own output files (the server's output folder) says where the copy went.
    const std::string output = device_.port ? device_.port->writtenOutput() : std::string();
    journal_->endCopy(journalCopy_, kind, text, settings_.REMAINMEDIALENGTH, output, held);
    journalCopy_ = 0;
    reportJournal();
}

// A journal that cannot be written is reported once, until a write succeeds again; plotting goes on.
void CPlotRun::reportJournal()
{
    if (!journal_->writeFailed()) {
        journalReported_ = false;
        return;
    }
    if (!journalReported_)
        platform::messageBox(fillPlaceholders(strings::localString(strings::IDS_JOURNAL_NOT_SAVED),
                                              {journal_->path(), journal_->lastError()}),
                             {}, platform::MB_ICONEXCLAMATION);
    journalReported_ = true;
}

// A program killed after the journal charged media and before Server.INI held it left the charge owed: the
// file still holds the count from before it, and is brought to the count after it. A file changed since
// (a new roll) is left as it is.
void CPlotRun::recoverRollCount()
{
    if (!journal_ || !rollCount_)
        return;
    const std::optional<PlotJournal::RollChange> owed = journal_->unsavedRoll();
    if (!owed)
        return;
    if (settings_.REMAINMEDIALENGTH == owed->before) {
        settings_.REMAINMEDIALENGTH = static_cast<std::int32_t>(owed->after);
        saveRemainingMedia();
    } else {
        journal_->rollSaved();
    }
}
