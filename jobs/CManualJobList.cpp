#include "jobs/CManualJobList.h"

CManualJobList::CManualJobList(const ServerSettings& settings) : CJobList(settings) {}

int CManualJobList::addManualJob(std::string_view path)
{
    if (hasPath(path))
        return -1;
    auto job = CPlotJob::create(path, CPlotJob::STATE_STANDBY, settings());
    if (!job)
        return -1;
    return appendRow(path, std::move(job));
}
