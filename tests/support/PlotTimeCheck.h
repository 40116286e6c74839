#pragma once

#include "jobs/CPlotJob.h"
#include "jobs/CopyEstimate.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/PlotTimeMeter.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"
#include "ports/PortSettings.h"
#include "vplotter/VirtualPlotter.h"

#include <cmath>
#include <memory>
#include <string>

// One copy of a plot through a device of a profile file: the time the model estimates for it, and the
// time the simulated plotter takes to draw the stream the copy sends, on a line of the baud rate. The
// simulated plotter is given what the device is (its default and highest speed, its buffer, the time an
// instruction takes it) and reads everything else, VS included, from the stream.
struct PlotTimeCheck {
    double estimated = 0;
    double simulated = 0;
    std::size_t bytes = 0;

    double error() const { return simulated > 0 ? std::fabs(estimated - simulated) / simulated : 0; }
};

inline PlotTimeCheck checkPlotTime(const CPlot& plot, const CProfile& profile, const std::string& device,
                                   unsigned baud = 9600)
{
    ServerSettings server;
    CCutInfo cutInfo;
    cutInfo.loadCutInfo(profile);
    CPlotterDevice plotter;
    plotter.loadProfile(profile, device.c_str());
    PortSettings line;
    line.TranSpeed = baud;
    const PlotTimeModel model = plotTimeModel(plotter, cutInfo, line, "COM1");

    std::unique_ptr<CPlotJob> job =
        CPlotJob::create("C:\\Receive\\plot.plt", CPlotJob::STATE_WAITING, server);
    job->plot = plot.copy();
    std::string stream;
    const CopyEstimate estimate = estimateCopy(*job, server, cutInfo, plotter, model, &stream);

    VirtualPlotterSettings settings;
    settings.baud = baud;
    settings.bufferBytes = kPlotterBufferBytes;
    settings.penSpeed = plotter.DefaultSpeed * 10.0;
    settings.penUpSpeed = std::max(plotter.DefaultSpeed, plotter.highestSpeed) * 10.0;
    settings.instructionSeconds = kInstructionSeconds;
    VirtualPlotter simulated(settings, VirtualPlotter::VirtualClock{});
    return {estimate.seconds, simulated.play(stream), stream.size()};
}
