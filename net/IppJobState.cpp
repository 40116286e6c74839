// How an IPP job follows its job in the queue, and the printer its plotter.

#include "net/IppPrinter.h"

#include <unistd.h>

#include <pappl/pappl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

using namespace std::chrono_literals;
using State = NetJobBoard::JobState;

// How often the job looks at the board when nothing is reported: a cancel by the client is seen this soon.
constexpr auto LOOK_AGAIN = 250ms;

} // namespace

bool IppPrinter::follow(pappl_job_t* job, const std::string& path, int copies)
{
    if (setup_.board == nullptr)
        return true;
    NetJobBoard& board = *setup_.board;
    if (journal_) {
        const char* name = papplJobGetName(job);
        const char* user = papplJobGetUsername(job);
        NetworkJobJournal::Job record;
        record.id = papplJobGetID(job);
        record.path = path;
        record.name = name != nullptr ? name : "";
        record.user = user != nullptr ? user : "";
        record.copies = copies;
        journal_->received(record);
    }
    NetJobBoard::saveCopies(path, copies);
    board.received(path, copies);
    papplJobSetImpressions(job, copies);
    int copiesShown = 0;
    bool cancelPassedOn = false;
    NetJobBoard::JobStatus before{.state = State::Queued, .copiesDone = -1, .text = ""};
    while (true) {
        NetJobBoard::JobStatus status;
        if (board.isShut() || !board.status(path, status)) {
            // The job stays unended in the journal: the next start takes it up again.
            keepEndMessage(job,
                           "Not plotted yet: the server stopped; it takes the job up again as it starts.");
            board.forget(path);
            return false;
        }
        if (papplJobIsCanceled(job) && !cancelPassedOn) {
            cancelPassedOn = true;
            board.cancel(path);
            log_("IPP job " + std::to_string(papplJobGetID(job)) + " canceled by its client: " + path);
        }
        // The library counts the last impression itself when the job completes.
        if (const int done = std::min(status.copiesDone, copies - 1); done > copiesShown) {
            papplJobSetImpressionsCompleted(job, done - copiesShown);
            copiesShown = done;
        }
        // A job removed from the receive folder before it was plotted (one waiting for media, say) was
        // taken off the queue.
        const bool waiting = status.state == State::Queued || status.state == State::WaitingForMedia;
        if (waiting && ::access(path.c_str(), F_OK) != 0)
            status = {.state = State::Canceled, .copiesDone = 0, .text = "Removed from the receive folder."};
        switch (status.state) {
        case State::Completed:
            NetJobBoard::removeSavedCopies(path);
            papplJobSetImpressionsCompleted(job, copies - 1 - copiesShown);
            recordEnd(job, NetworkJobJournal::COMPLETED,
                      "Plotted, " + std::to_string(copies) + " of " + std::to_string(copies) + " copies.");
            board.forget(path);
            return true;
        case State::Failed:
            NetJobBoard::removeSavedCopies(path);
            recordEnd(job, NetworkJobJournal::ABORTED, status.text);
            board.forget(path);
            return false;
        case State::Canceled:
            NetJobBoard::removeSavedCopies(path);
            recordEnd(job, NetworkJobJournal::CANCELED, status.text.empty() ? "Canceled." : status.text);
            papplJobCancel(job);
            board.forget(path);
            return false;
        case State::Plotting:
            if (!(status == before))
                papplJobSetMessage(job, "Plotting copy %d of %d.", std::min(status.copiesDone + 1, copies),
                                   copies);
            break;
        case State::WaitingForMedia:
            if (!(status == before))
                papplJobSetMessage(job, "Waiting for media: %s", status.text.c_str());
            break;
        case State::Queued:
            // A job waiting for its device says why.
            if (!(status == before) && status.text.empty())
                papplJobSetMessage(job, "Queued for plotting.");
            else if (!(status == before))
                papplJobSetMessage(job, "Waiting for the device: %s", status.text.c_str());
            break;
        }
        before = status;
        board.waitForNews(LOOK_AGAIN);
    }
}

void IppPrinter::keepEndMessage(pappl_job_t* job, std::string message)
{
    papplJobSetMessage(job, "%s", message.c_str());
    const std::lock_guard lock(endMessagesMutex_);
    endMessages_.emplace_back(papplJobGetID(job), std::move(message));
}

void IppPrinter::showEndMessages()
{
    const std::lock_guard lock(endMessagesMutex_);
    if (endMessages_.empty())
        return;
    papplPrinterIterateAllJobs(
        printer_,
        [](pappl_job_t* job, void* data) {
            auto& messages = *static_cast<std::vector<std::pair<int, std::string>>*>(data);
            if (papplJobGetState(job) < IPP_JSTATE_CANCELED)
                return;
            const int id = papplJobGetID(job);
            std::erase_if(messages, [job, id](const std::pair<int, std::string>& ended) {
                if (ended.first != id)
                    return false;
                papplJobSetMessage(job, "%s", ended.second.c_str());
                return true;
            });
        },
        &endMessages_, 1, 0);
    // A job no longer listed (cleaned out already) needs nothing more.
    if (endMessages_.size() > 100)
        endMessages_.erase(endMessages_.begin(), endMessages_.end() - 100);
}

void IppPrinter::showPrinterState()
{
    if (setup_.board == nullptr || printer_ == nullptr)
        return;
    const NetJobBoard::PrinterStatus status = setup_.board->printer();
    if (shownOnce_ && status == shown_)
        return;
    shownOnce_ = true;
    shown_ = status;
    constexpr auto ours = static_cast<pappl_preason_t>(PAPPL_PREASON_MEDIA_LOW | PAPPL_PREASON_MEDIA_NEEDED |
                                                       PAPPL_PREASON_OFFLINE);
    unsigned add = PAPPL_PREASON_NONE;
    if (status.mediaLow())
        add |= PAPPL_PREASON_MEDIA_LOW;
    if (status.mediaNeeded)
        add |= PAPPL_PREASON_MEDIA_NEEDED;
    if (status.offline)
        add |= PAPPL_PREASON_OFFLINE;
    papplPrinterSetReasons(printer_, static_cast<pappl_preason_t>(add),
                           static_cast<pappl_preason_t>(ours & ~add));
    pappl_supply_t roll = {};
    roll.color = PAPPL_SUPPLY_COLOR_NO_COLOR;
    std::snprintf(roll.description, sizeof roll.description, "Media roll, %d mm left", status.rollLeft);
    roll.is_consumed = true;
    roll.level = status.rollPercent();
    roll.type = PAPPL_SUPPLY_TYPE_OTHER;
    papplPrinterSetSupplies(printer_, 1, &roll);
}
