#pragma once

#include "output/PlotTimeMeter.h"

#include <cstddef>
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

// The estimate of the job's next copy through the device and over the port's line, as the information
// view shows it: kept in the job and made anew only when the job's plot or settings, the device or the
// line changed. Invalid for a job whose plot is not loaded.
CopyEstimate jobEstimate(CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                         const CPlotterDevice& device, const PortSettings& line, const std::string& portName);
