#include "jobs/CPlotJob.h"

#include "output/ServerSettings.h"

#include <cstring>

std::unique_ptr<CPlotJob> CPlotJob::create(std::string_view filePath, std::uint16_t initialState,
                                           const ServerSettings& settings)
{
    if (!pathFits(filePath))
        return nullptr;
    auto job = std::make_unique<CPlotJob>();
    std::memcpy(job->path, filePath.data(), filePath.size());
    job->state = initialState;
    job->sectionLength = static_cast<std::uint32_t>(settings.Section);
    job->overlap = static_cast<std::uint32_t>(settings.OverLap);
    if (settings.MirrorY != 0)
        job->options |= OPTION_MIRROR;
    if (settings.DashPlot != 0)
        job->options |= OPTION_HALF_CUT;
    return job;
}
