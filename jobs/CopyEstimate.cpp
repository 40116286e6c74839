#include "jobs/CopyEstimate.h"

#include "geometry/CMatrix.h"
#include "jobs/CAutoJobList.h"
#include "jobs/CPlotJob.h"
#include "jobs/CPlotRun.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/ServerSettings.h"
#include "plotdata/ResultCodes.h"
#include "ports/CPlotPort.h"
#include "ports/PortSettings.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// Takes what a pass writes and sends it nowhere.
class CountingPort final : public CPlotPort {
public:
    explicit CountingPort(std::string* stream) : CPlotPort("/nonexistent/Port.INI"), stream_(stream) {}
    PortOpenResult Open(OutputMethod, MessageSteps, std::int32_t* stopFlag) override
    {
        *stopFlag = 0;
        return PortOpened;
    }
    std::int32_t Write(const char* text) override
    {
        if (stream_ != nullptr)
            *stream_ += text;
        return 1;
    }
    void Close() override {}

private:
    std::string* stream_;
};

} // namespace

CopyEstimate estimateCopy(const CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                          const CPlotterDevice& device, const PlotTimeModel& model, std::string* stream)
{
    if (!job.plot)
        return {};
    // The copy goes through a run of its own, on copies of everything it may change.
    ServerSettings settings = server;
    CCutInfo cut = cutInfo;
    CPlotterDevice shadow;
    shadow.copyProfileFrom(device);
    CountingPort port(stream);
    shadow.setOutputPort(&port);
    PlotTimeMeter meter(model);
    shadow.setEmissionObserver(&meter);

    auto copy = std::make_unique<CPlotJob>();
    std::copy(std::begin(job.path), std::end(job.path), std::begin(copy->path));
    copy->state = CPlotJob::STATE_WAITING;
    copy->options = job.options;
    copy->startOffset = job.startOffset;
    copy->sectionLength = job.sectionLength;
    copy->overlap = job.overlap;
    copy->sectionLimit = job.sectionLimit;
    copy->length = job.length;
    copy->width = job.width;
    copy->plot = job.plot->copy();
    // The run moves its plot to the origin first, as it does before every copy.
    CPlot& plot = *copy->plot;
    plot.bake();
    if (settings.AdjustOrg != 0) {
        plot.applyTransform(CMatrix::Translation(1.0f - plot.extent.left, 1.0f - plot.extent.top));
        plot.bake();
    }

    CAutoJobList list(settings);
    const int row = list.addJob(job.path, std::move(copy));
    CPlotJob* scratch = list.jobAt(row);
    if (scratch == nullptr)
        return {};
    CPlotRun run(list, settings, cut, shadow);
    run.setDryRun(true);
    const int result = run.outputCopy(*scratch);
    shadow.setOutputPort(nullptr);
    shadow.setEmissionObserver(nullptr);

    CopyEstimate estimate;
    estimate.valid = result == RESULT_OK;
    estimate.seconds = meter.seconds();
    estimate.lineSeconds =
        model.bytesPerSecond > 0 ? static_cast<double>(meter.bytes()) / model.bytesPerSecond : 0;
    estimate.mechanismSeconds = meter.mechanismSeconds();
    estimate.bytes = meter.bytes();
    return estimate;
}

int copiesToPlot(const CPlotJob& job) { return std::max(1, job.copies - job.copiesDone); }

double jobSeconds(const CPlotJob& job, const CopyEstimate& copy) { return copy.seconds * copiesToPlot(job); }

namespace {

// What an estimate depends on, as text: the plot (by its identity and extent), the job's layout, the
// server's layout switches, the device's form and speeds, and the line.
std::string estimateKeyOf(const CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                          const CPlotterDevice& device, const PortSettings& line, const std::string& portName)
{
    const FRect& e = job.plot->extent;
    char key[512];
    std::snprintf(key, sizeof key,
                  "%p %d %g %g %g %g|%u %u %u %u %u|%d %d %d %d %d %d %d|%s %u %d %u %u %u|%u %u %u %u %s",
                  static_cast<const void*>(job.plot.get()), job.plot->count(), static_cast<double>(e.left),
                  static_cast<double>(e.top), static_cast<double>(e.right), static_cast<double>(e.bottom),
                  job.options, job.startOffset, job.sectionLength, job.overlap, job.sectionLimit,
                  server.PageOut, server.MediaWidth, server.SortPlot, server.AdjustOrg, server.LineMark,
                  server.PloterOffset, device.SetSpeed, device.displayName, device.Compact, cutInfo.PenSpeed,
                  device.DefaultSpeed, device.highestSpeed, cutInfo.mmPageGap, line.TranSpeed, line.DataWidth,
                  line.OECheck, line.StopBits, portName.c_str());
    return key;
}

} // namespace

CopyEstimate jobEstimate(CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                         const CPlotterDevice& device, const PortSettings& line, const std::string& portName)
{
    if (!job.plot)
        return {};
    std::string key = estimateKeyOf(job, server, cutInfo, device, line, portName);
    if (key != job.estimateKey) {
        job.estimate =
            estimateCopy(job, server, cutInfo, device, plotTimeModel(device, cutInfo, line, portName));
        job.estimateKey = std::move(key);
    }
    return job.estimate;
}
