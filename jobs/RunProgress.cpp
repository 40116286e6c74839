#include "jobs/CPlotRun.h"

#include "jobs/CAutoJobList.h"
#include "jobs/CopyEstimate.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/PlotTimeMeter.h"
#include "ports/CPlotPort.h"

#include <algorithm>
#include <cmath>

// The copy is estimated as it will be sent, and a meter of the same model follows the real stream: what
// is left is the estimate less the time the line has taken to bring what was sent.
void CPlotRun::beginProgress(const CPlotJob& job)
{
    const std::string portName = portOverride_.empty() ? std::string(cutInfo_.Port) : portOverride_;
    const PlotTimeModel model = plotTimeModel(device_, cutInfo_, device_.port->settings, portName);
    const CopyEstimate estimate = estimateCopy(job, settings_, cutInfo_, device_, model);
    liveMeter_ = std::make_unique<PlotTimeMeter>(model);
    device_.setEmissionObserver(liveMeter_.get());
    progress_ = {};
    progress_.running = true;
    progress_.copy = job.copiesDone + 1;
    progress_.copies = job.copies;
    progress_.bytesTotal = estimate.bytes;
    progress_.secondsTotal = estimate.seconds;
    progress_.secondsLeft = estimate.seconds;
    view().copyProgress(rowOf(&job), progress_);
}

// Told when the whole per cent or the whole second left changes, not for every path.
void CPlotRun::reportProgress(const CPlotJob& job)
{
    if (!liveMeter_)
        return;
    CopyProgress now = progress_;
    now.bytesSent = liveMeter_->bytes();
    now.secondsLeft = std::max(0.0, progress_.secondsTotal - liveMeter_->lineSeconds());
    if (now.percent() == progress_.percent() &&
        std::lround(now.secondsLeft) == std::lround(progress_.secondsLeft))
        return;
    progress_ = now;
    view().copyProgress(rowOf(&job), progress_);
}

void CPlotRun::endProgress(const CPlotJob& job)
{
    if (!liveMeter_)
        return;
    progress_.bytesSent = liveMeter_->bytes();
    device_.setEmissionObserver(nullptr);
    liveMeter_.reset();
    progress_.running = false;
    progress_.secondsLeft = 0;
    view().copyProgress(rowOf(&job), progress_);
}
