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

struct PendingEstimate::Inputs {
    ServerSettings settings;
    CCutInfo cut;
    CPlotterDevice shadow;
    PlotTimeModel model;
    // The scratch job holding a copy of the plot; null for a job without plot.
    std::unique_ptr<CPlotJob> copy;
};

PendingEstimate::PendingEstimate(const CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                                 const CPlotterDevice& device, const PlotTimeModel& model, std::string key)
    : inputs_(std::make_unique<Inputs>()), key_(std::move(key))
{
    // The copy goes through a run of its own, on copies of everything it may change.
    inputs_->settings = server;
    inputs_->cut = cutInfo;
    inputs_->shadow.copyProfileFrom(device);
    inputs_->model = model;
    if (!job.plot)
        return;
    auto& copy = inputs_->copy;
    copy = std::make_unique<CPlotJob>();
    std::copy(std::begin(job.path), std::end(job.path), std::begin(copy->path));
    copy->state = CPlotJob::STATE_WAITING;
    copy->options = job.options;
    copy->startOffset = job.startOffset;
    copy->sectionLength = job.sectionLength;
    copy->overlap = job.overlap;
    copy->sectionLimit = job.sectionLimit;
    copy->length = job.length;
    copy->width = job.width;
    // A plot without paths copies as none; the run lays it out as an empty drawing.
    copy->plot = job.plot->copy();
    if (!copy->plot)
        copy->plot = std::make_unique<CPlot>();
}

PendingEstimate::~PendingEstimate() = default;

CopyEstimate PendingEstimate::run(std::string* stream)
{
    if (!inputs_ || !inputs_->copy)
        return {};
    const std::unique_ptr<Inputs> in = std::move(inputs_);
    CountingPort port(stream);
    in->shadow.setOutputPort(&port);
    PlotTimeMeter meter(in->model);
    in->shadow.setEmissionObserver(&meter);

    // The run moves its plot to the origin first, as it does before every copy.
    CPlot& plot = *in->copy->plot;
    plot.bake();
    if (in->settings.AdjustOrg != 0) {
        plot.applyTransform(CMatrix::Translation(1.0f - plot.extent.left, 1.0f - plot.extent.top));
        plot.bake();
    }

    CAutoJobList list(in->settings);
    const std::string path = in->copy->path;
    const int row = list.addJob(path, std::move(in->copy));
    CPlotJob* scratch = list.jobAt(row);
    if (scratch == nullptr)
        return {};
    CPlotRun run(list, in->settings, in->cut, in->shadow);
    run.setDryRun(true);
    const int result = run.outputCopy(*scratch);
    in->shadow.setOutputPort(nullptr);
    in->shadow.setEmissionObserver(nullptr);

    const PlotTimeModel& model = in->model;
    CopyEstimate estimate;
    estimate.valid = result == RESULT_OK;
    estimate.seconds = meter.seconds();
    estimate.lineSeconds =
        model.bytesPerSecond > 0 ? static_cast<double>(meter.bytes()) / model.bytesPerSecond : 0;
    estimate.mechanismSeconds = meter.mechanismSeconds();
    estimate.bytes = meter.bytes();
    return estimate;
}

CopyEstimate estimateCopy(const CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                          const CPlotterDevice& device, const PlotTimeModel& model, std::string* stream)
{
    return PendingEstimate(job, server, cutInfo, device, model).run(stream);
}

int copiesToPlot(const CPlotJob& job) { return std::max(1, job.copies - job.copiesDone); }

double jobSeconds(const CPlotJob& job, const CopyEstimate& copy) { return copy.seconds * copiesToPlot(job); }

EstimateRequest requestEstimate(const CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                                const CPlotterDevice& device, const PortSettings& line,
                                const std::string& portName)
{
    if (!job.plot)
        return {};
    std::string key = estimateKey(job, server, cutInfo, device, line, portName);
    if (!key.empty() && key == job.estimateKey)
        return {job.estimate, nullptr};
    return {{},
            std::make_shared<PendingEstimate>(job, server, cutInfo, device,
                                              plotTimeModel(device, cutInfo, line, portName),
                                              std::move(key))};
}

void keepEstimate(CPlotJob& job, const PendingEstimate& made, const CopyEstimate& estimate)
{
    job.estimate = estimate;
    job.estimateKey = made.key();
}

CopyEstimate jobEstimate(CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                         const CPlotterDevice& device, const PortSettings& line, const std::string& portName)
{
    EstimateRequest request = requestEstimate(job, server, cutInfo, device, line, portName);
    if (!request.pending)
        return request.held;
    const CopyEstimate made = request.pending->run();
    keepEstimate(job, *request.pending, made);
    return made;
}
