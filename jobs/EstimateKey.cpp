#include "jobs/CopyEstimate.h"

#include "geometry/CMatrix.h"
#include "jobs/CPlotJob.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/KeyBytes.h"
#include "output/ServerSettings.h"
#include "ports/PortSettings.h"

namespace {

// The plot's extent once the run has moved it to the origin, worked out as the move itself works it out.
// The run moves the job's own plot there before a copy and the estimate moves its copy of it: an estimate
// made before the move and one made after it are the same when these extents are, and only then.
FRect laidOutExtent(const CPlot& plot, const ServerSettings& server)
{
    FRect extent = plot.extent;
    if (server.AdjustOrg != 0)
        CMatrix::Translation(1.0f - extent.left, 1.0f - extent.top).TransformRectBounds(extent);
    return extent;
}

void appendCutInfo(std::string& key, const CCutInfo& cut)
{
    appendKeyBytes(key, cut.paper);
    appendKeyBytes(key, cut.Port);
    for (const std::int32_t value :
         {cut.TestWidth, cut.PageRect, cut.AutoFeed, cut.TextLine, cut.Sort, cut.SetForce, cut.RemoteCut,
          cut.PauseCut, cut.SavePaper, cut.PageGaps, cut.Mirror, cut.HalfCut})
        appendKeyBytes(key, value);
    for (const std::uint16_t value : {cut.PenSpeed, cut.PenForce, cut.mmPageGap})
        appendKeyBytes(key, value);
    for (const float value : {cut.CurveAccurate, cut.ZoomCut, cut.SolidCut, cut.VoidCut})
        appendKeyBytes(key, value);
}

} // namespace

std::string estimateKey(const CPlotJob& job, const ServerSettings& server, const CCutInfo& cutInfo,
                        const CPlotterDevice& device, const PortSettings& line, const std::string& portName)
{
    if (!job.plot || !job.stamp.valid())
        return {};
    const CPlot& plot = *job.plot;
    // The content and what was made of it in memory: the paths as loaded, any transform not yet applied.
    std::string key = job.stamp.sha256;
    appendKeyBytes(key, job.stamp.size);
    appendKeyBytes(key, plot.count());
    appendKeyBytes(key, laidOutExtent(plot, server));
    appendKeyBytes(key, plot.transform);
    // The job's layout.
    appendKeyBytes(key, job.options);
    for (const std::uint32_t value : {job.startOffset, job.sectionLength, job.overlap, job.sectionLimit})
        appendKeyBytes(key, value);
    // The server's layout switches; the media left decides how many bands go out only when the output
    // goes on across the media's width.
    for (const std::int32_t value : {server.PageOut, server.PloterOffset, server.MediaWidth, server.SendPG,
                                     server.SortPlot, server.AdjustOrg, server.LineMark})
        appendKeyBytes(key, value);
    if (server.PageOut != 0)
        appendKeyBytes(key, server.REMAINMEDIALENGTH);
    appendCutInfo(key, cutInfo);
    device.appendProfileKey(key);
    // The line.
    appendKeyBytes(key, line.TranSpeed);
    for (const std::uint16_t value : {line.DataWidth, line.OECheck, line.StopBits})
        appendKeyBytes(key, value);
    key += portName;
    return key;
}
