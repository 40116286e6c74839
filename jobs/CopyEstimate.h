#pragma once

#include "output/PlotTimeMeter.h"

#include <cstddef>
#include <memory>
#include <string>

class CCutInfo;
class CPlotterDevice;
struct CPlotJob;
struct PortSettings;
struct ServerSettings;

// The estimated time of one copy of a job, and the stream it is estimated from.
struct CopyEstimate {
    bool valid = false;          // false when the job has no plot or its copy would send nothing
    double seconds = 0;          // until the device has drawn the copy
    double lineSeconds = 0;      // the line's share: until its last byte has arrived
    double mechanismSeconds = 0; // the mechanism's share, as if it never waited for the line
    std::size_t bytes = 0;
};

// The job's next copy as the run would send it now, with these settings and through this device, timed
// by the model: laid out, cut into sections and bands and emitted to no port. Neither the job nor the
// device is changed; the device's carried-over state (its pen, its knife's direction) is started from,
// so the stream is the one the copy will send. With stream, the bytes are appended to it.
CopyEstimate estimateCopy(const CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                          const CPlotterDevice& device, const PlotTimeModel& model,
                          std::string* stream = nullptr);

// The copies the job still has to plot (at least one) at the copy's time.
double jobSeconds(const CPlotJob& job, const CopyEstimate& copy);
// The copies jobSeconds counts.
int copiesToPlot(const CPlotJob& job);

// What the estimate of the job's next copy through the device and over the port's line is made from, as
// bytes: the same key, the same estimate. The plot counts by its content (the stamp's hash) as the copy
// will lay it out, not by where it lies in memory; with it the job's layout, the server's and the cutting
// settings, the device's profile and carried-over state, and the line. Empty for a job whose plot is not
// loaded or whose content is not known: such an estimate is never kept.
std::string estimateKey(const CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                        const CPlotterDevice& device, const PortSettings& line, const std::string& portName);

// A copy's estimate taken apart from the job and the settings: what it is made from is copied when it is
// made, so that it can be run later, once, on any thread, while the job and the settings change.
class PendingEstimate {
public:
    PendingEstimate(const CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                    const CPlotterDevice& device, const PlotTimeModel& model, std::string key = {});
    ~PendingEstimate();
    PendingEstimate(const PendingEstimate&) = delete;
    PendingEstimate& operator=(const PendingEstimate&) = delete;

    // The estimate as estimateCopy makes it; with stream, the bytes are appended to it.
    CopyEstimate run(std::string* stream = nullptr);
    // What it is made from (estimateKey), empty when it is not to be kept.
    const std::string& key() const { return key_; }

private:
    struct Inputs;
    std::unique_ptr<Inputs> inputs_;
    std::string key_;
};

// The estimate the job holds when it was made from what its next copy would be made from now (pending
// null); else the estimate to make, to be kept with keepEstimate once made.
struct EstimateRequest {
    CopyEstimate held;
    std::shared_ptr<PendingEstimate> pending;
};
EstimateRequest requestEstimate(const CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                                const CPlotterDevice& device, const PortSettings& line,
                                const std::string& portName);
// Keeps a made estimate in the job under the key it was made from.
void keepEstimate(CPlotJob& job, const PendingEstimate& made, const CopyEstimate& estimate);

// The estimate of the job's next copy, as requestEstimate gives it or made at once and kept in the job.
// Invalid for a job whose plot is not loaded.
CopyEstimate jobEstimate(CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                         const CPlotterDevice& device, const PortSettings& line, const std::string& portName);
