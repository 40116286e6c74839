#include "cli/ConsoleView.h"

#include "jobs/CAutoJobList.h"
#include "jobs/RunTexts.h"

std::string printableName(std::string_view name)
{
    std::string shown;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

void ConsoleView::progressText(int row, const std::string& text)
{
    const CPlotJob* job = list_.jobAt(row);
    if (job == nullptr)
        return;
    const std::string left = progress_.running && progress_.bytesTotal > 0
                                 ? ", " + timeLeftText(progress_.secondsLeft)
                                 : std::string();
    std::fprintf(out_, "[%d/%d] %s: %s%s\n", job->copiesDone + 1, job->copies,
                 printableName(job->path).c_str(), text.c_str(), left.c_str());
    std::fflush(out_);
}

void ConsoleView::copyProgress(int, const CopyProgress& progress) { progress_ = progress; }

int ConsoleView::takePostedCommand()
{
    if (posted_.empty())
        return 0;
    const int id = posted_.front();
    posted_.pop_front();
    return id;
}
