#include "jobs/JobPlot.h"

#include "geometry/Truncate.h"
#include "jobs/CPlotJob.h"
#include "platform/PathMapping.h"
#include "plotdata/LoadPlot.h"
#include "plotdata/ResultCodes.h"

#include <sys/stat.h>

#include <cmath>

int loadJobPlot(CPlotJob& job)
{
    // The filter opens the file itself, so it gets the file-system form of a Windows path.
    const std::string path = platform::toFileSystemPath(job.path);
    // A FIFO or a device would keep the filter reading for ever.
    struct stat status {};
    if (!job.plot && ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
        return RESULT_FILTER_READ_FAILED;
    return loadPlot(job.plot, path);
}

bool measureJob(CPlotJob& job)
{
    if (job.length != 0)
        return true;
    if (loadJobPlot(job) != RESULT_OK || !job.plot)
        return false;
    measureLoadedPlot(job);
    return true;
}

void measureLoadedPlot(CPlotJob& job)
{
    if (job.length != 0 || !job.plot)
        return;
    job.plot->bake();
    const FRect& extent = job.plot->extent;
    job.length = truncToInt(std::fabs(extent.right - extent.left) + 0.5f);
    job.width = truncToInt(std::fabs(extent.bottom - extent.top) + 0.5f);
}
