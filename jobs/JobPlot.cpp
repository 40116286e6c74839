#include "jobs/JobPlot.h"

#include "geometry/Truncate.h"
#include "jobs/CPlotJob.h"
#include "platform/PathMapping.h"
#include "plotdata/LoadPlot.h"
#include "plotdata/ResultCodes.h"

#include <cmath>

int loadJobPlot(CPlotJob& job)
{
    // The filter opens the file itself, so it gets the file-system form of a Windows path.
    return loadPlot(job.plot, platform::toFileSystemPath(job.path));
}

bool measureJob(CPlotJob& job)
{
    if (job.length != 0)
        return true;
    if (loadJobPlot(job) != RESULT_OK || !job.plot)
        return false;
    job.plot->bake();
    const FRect& extent = job.plot->extent;
    job.length = truncToInt(std::fabs(extent.right - extent.left) + 0.5f);
    job.width = truncToInt(std::fabs(extent.bottom - extent.top) + 0.5f);
    return true;
}
