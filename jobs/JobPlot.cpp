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
    // A plot loaded from content the file no longer holds is loaded again before the job's first copy: the
    // job plots the file as it is now, a new delivery. Once a copy has gone out, the copies after it plot
    // the same drawing.
    if (job.plot && job.copiesDone == 0 && job.stamp.size >= 0 && !fileIdentity(path).sameFile(job.stamp)) {
        job.plot.reset();
        job.length = 0;
    }
    if (job.plot)
        return loadPlot(job.plot, path);
    // A FIFO or a device would keep the filter reading for ever.
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
        return RESULT_FILTER_READ_FAILED;
    // The stamp is of the content the filter reads: a file written anew during the load is loaded again.
    int result = RESULT_OK;
    for (int attempt = 0; attempt < 2; ++attempt) {
        job.stamp = stampFile(path);
        job.delivery = 0;
        job.plot.reset();
        result = loadPlot(job.plot, path);
        if (result != RESULT_OK || fileIdentity(path).sameFile(job.stamp))
            break;
    }
    return result;
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
