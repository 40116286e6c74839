// How an IPP job follows its job in the queue, and the printer its plotter.

#include "net/IppPrinter.h"

#include <unistd.h>

#include <pappl/pappl.h>

#include <chrono>
#include <cstdio>

namespace {

using namespace std::chrono_literals;
using State = NetJobBoard::JobState;

// How often the job looks at the board when nothing is reported: a cancel by the client is seen this soon.
constexpr auto LOOK_AGAIN = 250ms;

int orderedCopies(pappl_job_t* job)
{
    ipp_attribute_t* copies = papplJobGetAttribute(job, "copies");
    return copies != nullptr ? std::max(ippGetInteger(copies, 0), 1) : 1;
}

} // namespace

bool IppPrinter::follow(pappl_job_t* job, const std::string& path)
{
    if (setup_.board == nullptr)
        return true;
    NetJobBoard& board = *setup_.board;
    const int copies = orderedCopies(job);
    board.received(path, copies);
    papplJobSetImpressions(job, copies);
    int copiesShown = 0;
    bool cancelPassedOn = false;
    NetJobBoard::JobStatus before{.state = State::Queued, .copiesDone = -1, .text = ""};
    while (true) {
        NetJobBoard::JobStatus status;
        if (board.isShut() || !board.status(path, status)) {
            papplJobSetMessage(job, "Not plotted: the server stopped before the job was plotted.");
            board.forget(path);
            return false;
        }
        if (papplJobIsCanceled(job) && !cancelPassedOn) {
            cancelPassedOn = true;
            board.cancel(path);
            log_("IPP job " + std::to_string(papplJobGetID(job)) + " canceled by its client: " + path);
        }
        if (status.copiesDone > copiesShown) {
            papplJobSetImpressionsCompleted(job, status.copiesDone - copiesShown);
            copiesShown = status.copiesDone;
        }
        // A job removed from the receive folder before it was plotted was taken off the queue.
        if (status.state == State::Queued && ::access(path.c_str(), F_OK) != 0)
            status = {.state = State::Canceled, .copiesDone = 0, .text = "Removed from the receive folder."};
        switch (status.state) {
        case State::Completed:
            papplJobSetImpressionsCompleted(job, copies - copiesShown);
            papplJobSetMessage(job, "Plotted, %d of %d copies.", copies, copies);
            board.forget(path);
            return true;
        case State::Failed:
            papplJobSetMessage(job, "%s", status.text.c_str());
            board.forget(path);
            return false;
        case State::Canceled:
            papplJobSetMessage(job, "%s", status.text.empty() ? "Canceled." : status.text.c_str());
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
            if (!(status == before))
                papplJobSetMessage(job, "Queued for plotting.");
            break;
        }
        before = status;
        board.waitForNews(LOOK_AGAIN);
    }
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
