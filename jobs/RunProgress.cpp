#include "jobs/CPlotRun.h"

#include "jobs/CAutoJobList.h"
#include "jobs/CopyEstimate.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/PlotTimeMeter.h"
#include "ports/CPlotPort.h"
#include "ports/PortSettings.h"

#include <algorithm>
#include <cmath>

// The copy is estimated as it will be sent, and a meter of the same model follows the real stream: what
// is left is the estimate less the time the line has taken to bring what was sent. The estimate the job
// holds is taken when it was made from the same content and settings (the information view's, or the
// last copy's), so that a large job does not go through a second whole emission before each copy.
void CPlotRun::beginProgress(CPlotJob& job)
{
    const std::string portName = portOverride_.empty() ? std::string(cutInfo_.Port) : portOverride_;
    const PortSettings& line = device_.port->settings;
    const PlotTimeModel model = plotTimeModel(device_, cutInfo_, line, portName);
    const CopyEstimate estimate = jobEstimate(job, settings_, cutInfo_, device_, line, portName);
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
