#include "cli/ConsoleView.h"

#include "jobs/CAutoJobList.h"

void ConsoleView::progressText(int row, const std::string& text)
{
    const CPlotJob* job = list_.jobAt(row);
    if (job == nullptr)
        return;
    std::fprintf(out_, "[%d/%d] %s: %s\n", job->copiesDone + 1, job->copies, job->path, text.c_str());
    std::fflush(out_);
}

int ConsoleView::takePostedCommand()
{
    if (posted_.empty())
        return 0;
    const int id = posted_.front();
    posted_.pop_front();
    return id;
}
