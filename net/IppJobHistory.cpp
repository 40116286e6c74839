// The IPP jobs in the plot journal: how each ended, and the jobs a restart takes up again.

#include "net/IppPrinter.h"

#include <unistd.h>

#include <pappl/pappl.h>

#include <fstream>

void IppPrinter::recordEnd(pappl_job_t* job, const char* state, const std::string& message)
{
    keepEndMessage(job, message);
    if (journal_)
        journal_->ended(papplJobGetID(job), state, message);
}

std::optional<NetworkJobJournal::Job> IppPrinter::takeUpAgain(pappl_job_t* job)
{
    const std::lock_guard lock(takenUpMutex_);
    const auto found = takenUp_.find(papplJobGetID(job));
    if (found == takenUp_.end() || found->second.processing)
        return std::nullopt;
    found->second.processing = true;
    return found->second.job;
}

// A job that had not ended when the server stopped is made again under its own id, so that its client
// finds it as it left it; one plotted meanwhile (the server was killed before it could record the end)
// has completed, and one whose file is gone has ended there. New jobs take ids above every recorded one.
void IppPrinter::restoreJobs()
{
    if (!journal_ || !journal_->isOpen())
        return;
    const int nextId = journal_->highestId() + 1;
    for (const NetworkJobJournal::Job& earlier : journal_->unended()) {
        if (journal_->plottedSince(earlier.path, earlier.received)) {
            journal_->ended(earlier.id, NetworkJobJournal::COMPLETED, "Plotted.");
            continue;
        }
        if (::access(earlier.path.c_str(), F_OK) != 0) {
            journal_->ended(earlier.id, NetworkJobJournal::ABORTED,
                            "Not plotted: its file left the receive folder while the server was stopped.");
            continue;
        }
        // The drawing is in the receive folder already; the job's own document is a stand-in, which the
        // system removes with the job.
        const std::string standIn = setup_.spoolFolder + "/taken-up-" + std::to_string(earlier.id) + ".hpgl";
        std::ofstream(standIn, std::ios::binary | std::ios::trunc) << "IN;";
        std::unique_lock lock(takenUpMutex_);
        const NetworkJobJournal::Job& kept = takenUp_[earlier.id].job = earlier;
        lock.unlock();
        papplPrinterSetNextJobID(printer_, earlier.id);
        if (papplJobCreateWithFile(printer_, kept.user.c_str(), IppPrinter::HPGL_FORMAT, kept.name.c_str(), 0,
                                   nullptr, standIn.c_str()) == nullptr) {
            log_("IPP job " + std::to_string(earlier.id) + " could not be taken up again: " + earlier.path);
            continue;
        }
        log_("IPP job " + std::to_string(earlier.id) + " taken up again after the restart: " + earlier.path);
    }
    papplPrinterSetNextJobID(printer_, nextId);
}
