#include "jobs/CPlotRun.h"

#include "geometry/CMatrix.h"
#include "geometry/Truncate.h"
#include "jobs/CAutoJobList.h"
#include "jobs/RunTexts.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/SectionExtraction.h"
#include "output/ServerSettings.h"
#include "platform/Hooks.h"
#include "plotdata/CPlot.h"
#include "plotdata/ResultCodes.h"
#include "ports/CPlotPort.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <algorithm>
#include <cfloat>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// Splice marks are dashed lines of 50 mm dashes and 10 mm gaps.
constexpr float MARK_DASH = 50.0f;
constexpr float MARK_GAP = 10.0f;
// Without a section length the whole job is one section reaching this far beyond its right edge.
constexpr float WHOLE_JOB_MARGIN = 15.0f;
// How long the closing commands of a stopped pass wait for a device that takes nothing.
constexpr std::chrono::milliseconds SAFE_END_PATIENCE{2000};

// An overlap as long as the section would never move the next section on; such an overlap is not used.
std::int64_t usableOverlap(std::uint32_t sectionLength, std::uint32_t overlap)
{
    return overlap < sectionLength ? overlap : 0;
}

void transform(CPlot& plot, const CMatrix& m)
{
    plot.applyTransform(m);
    plot.bake();
}

// Dashed lines along the band's edges where the plot goes on in the next band or came from the one before,
// so that the operator can join the bands.
void addSpliceMarks(CPlot& piece, float y0, float y1, bool bandFollows, bool bandBefore)
{
    if (bandFollows)
        piece.add(
            CPlotPath::makeDashedLine(piece.extent.left, y1, piece.extent.right, y1, MARK_DASH, MARK_GAP));
    if (bandBefore)
        piece.add(
            CPlotPath::makeDashedLine(piece.extent.left, y0, piece.extent.right, y0, MARK_DASH, MARK_GAP));
}

// Whether any path of the laid-out plot reaches the media: x from 0 on, y from 0 to mediaBottom.
bool reachesMedia(const CPlot& plot, float mediaBottom)
{
    for (int i = 0; i < plot.count(); ++i) {
        if (!plot.at(i).extent.liesOutside(0.0f, 0.0f, FLT_MAX, mediaBottom))
            return true;
    }
    return false;
}

std::int32_t clampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

} // namespace

bool CPlotRun::enoughMedia(const CPlotJob& job) const
{
    if (!job.plot)
        return false;
    // The plot as the device's ratios scale it on the media.
    const FRect& bounds = job.plot->extent;
    const float right = bounds.right * device_.RatioX;
    const float height = (bounds.bottom - bounds.top) * device_.RatioY;
    const std::int64_t length =
        std::llabs(std::int64_t{truncToInt(right - static_cast<float>(job.startOffset))} + 1);
    const std::int64_t width = std::llabs(std::int64_t{truncToInt(height)} + 1);
    const std::int64_t section = job.sectionLength;
    const std::int64_t limit = job.sectionLimit;
    const std::int64_t remaining = settings_.REMAINMEDIALENGTH;
    std::int64_t needed = 0;
    if (job.options & CPlotJob::OPTION_ROTATE) {
        // Every section of a turned job takes the job's width of media, with the page gap between them.
        const std::int64_t overlap = usableOverlap(job.sectionLength, job.overlap);
        std::int64_t position = 0;
        std::int64_t count = limit;
        bool first = true;
        while (length > 0 && needed <= remaining) {
            if (!first) {
                position -= overlap;
                needed += cutInfo_.mmPageGap;
            }
            first = false;
            needed += width;
            position += section != 0 ? section : length + 1;
            if (limit != 0 && --count <= 0)
                break;
            if (position >= length)
                break;
        }
    } else {
        // The limited sections, when they end before the job does; compared by division, as their product
        // may not fit any integer.
        needed = length + 1;
        if (limit != 0 && section <= length / limit)
            needed = section * limit + 1;
    }
    return needed <= remaining;
}

// The job's plot as it goes onto the media: scaled by the device's ratios, mirrored, turned and moved
// to its origin, with the start offset taken off its left. A copy of the job's plot is laid out, the last
// copy's too, so that a copy added while it goes out plots the same drawing; a large drawing is held twice
// at most, and the job drops its plot once finished.
std::unique_ptr<CPlot> CPlotRun::layOut(CPlotJob& job) const
{
    std::unique_ptr<CPlot> plot;
    if (job.plot->count() == 0)
        plot = std::make_unique<CPlot>();
    else
        plot = job.plot->copy();
    plot->bake();
    if (device_.RatioX != 1.0f || device_.RatioY != 1.0f)
        transform(*plot, CMatrix::Scale(device_.RatioX, device_.RatioY));
    // Mirrored in place, about the plot's own middle: negating y alone would move a plot lying above the
    // media's edge below it, where no band reaches, and the copy would send nothing.
    if (job.options & CPlotJob::OPTION_MIRROR) {
        const FRect& e = plot->extent;
        transform(*plot, CMatrix::MirrorAboutRectCentre(e.left, e.top, e.right, e.bottom, false, true));
    }
    if (job.options & CPlotJob::OPTION_ROTATE) {
        transform(*plot, CMatrix::RotationAbout(0.0f, 0.0f, 90.0f));
        transform(*plot, CMatrix::Translation(1.0f - plot->extent.left, 1.0f - plot->extent.top));
    }
    float tx = 0.0f;
    float ty = 0.0f;
    if (settings_.AdjustOrg != 0) {
        tx = 1.0f - plot->extent.left;
        ty = 1.0f - plot->extent.top;
    }
    tx -= static_cast<float>(job.startOffset);
    transform(*plot, CMatrix::Translation(tx, ty));
    return plot;
}

// The cutting settings of one pass of the job's copy: the shared ones with the job's own feed and half
// cut. The shared record stays as stored, so that a settings dialog saved during a copy writes the stored
// values and not the job's.
CCutInfo CPlotRun::copySettings(const CPlotJob& job) const
{
    CCutInfo copy = cutInfo_;
    copy.AutoFeed = (job.options & CPlotJob::OPTION_AUTO_FEED) != 0 ? 1 : 0;
    // The half cut takes the value of the job's option bit itself.
    copy.HalfCut = job.options & CPlotJob::OPTION_HALF_CUT;
    return copy;
}

// With the feed command switched on, a job to be fed ends each pass at the feed position and starts a new
// frame, any other job goes back home; switched off, every pass ends with a plain feed.
PassEnd CPlotRun::passEnd(const CCutInfo& copy) const
{
    if (settings_.SendPG == 0)
        return PassEnd::Feed;
    return copy.AutoFeed != 0 ? PassEnd::FeedAndNewFrame : PassEnd::Home;
}

int CPlotRun::outputCopy(CPlotJob& job)
{
    if (!job.plot)
        return RESULT_DATA_BUILD_FAILED;
    device_.port->SelectPort(portOverride_.empty() ? cutInfo_.Port : portOverride_.c_str());
    // Estimated before the layout, which may take the job's plot.
    if (!dryRun_)
        beginProgress(job);
    const std::unique_ptr<CPlot> plot = layOut(job);
    const FRect bounds = plot->extent;
    // A plot whose edges are not finite numbers could never be walked to its end.
    const bool finite = std::isfinite(bounds.right) && std::isfinite(bounds.bottom);
    const float mediaWidth = static_cast<float>(settings_.MediaWidth);
    if (!finite || !reachesMedia(*plot, settings_.PageOut != 0 ? FLT_MAX : mediaWidth)) {
        endProgress(job);
        return RESULT_NOTHING_ON_MEDIA;
    }
    CSectionCutter cutter(*plot);
    journalCopyBegins(job);

    protectRunFiles();
    CPlotPort& port = device_.outputPort();
    port.setStallNotice(
        [this, &job](std::size_t bytesSent) { list_.setStalledText(rowOf(&job), stalledText(bytesSent)); });
    // What a device that talks back says while the port waits for it (drawing, paused) is told as a stall.
    port.setDeviceNotice([this, &job](const std::string& text) { list_.setStalledText(rowOf(&job), text); });
    device_.stopFlag = 0;
    const CopyEnd end = sendBands(job, *plot, cutter, port, mediaWidth);
    port.setStallNotice(nullptr);
    port.setDeviceNotice(nullptr);
    // However the copy ended, its output is over.
    device_.stopFlag = 1;
    endProgress(job);

    switch (end) {
    case CopyEnd::PortFailed:
        job.messageText = portOpenFailureText(device_.port->portName(), device_.port->openError());
        return RESULT_PORT_OPEN_FAILED;
    case CopyEnd::WriteFailed:
        job.messageText = portWriteFailureText(device_.port->portName(), port.writeError());
        return RESULT_PORT_WRITE_FAILED;
    case CopyEnd::MediaRanOut:
        return RESULT_NOT_ENOUGH_MEDIA;
    case CopyEnd::Stopped:
        // Only the sections begun before the stop have used media, and the copy is not plotted.
        list_.setProgressText(rowOf(&job), strings::localString(strings::IDS_STOPPED));
        return RESULT_STOPPED;
    case CopyEnd::Sent:
        break;
    }
    // Paths whose extents touch the media may still have nothing on it once clipped.
    if (!sentDrawing_)
        return RESULT_NOTHING_ON_MEDIA;
    if (!dryRun_)
        list_.setProgressText(rowOf(&job), strings::localString(strings::IDS_STATE_FINISHED));
    return RESULT_OK;
}

// The passes of a copy, one band of the media's width each, while the media lasts and nothing failed.
CPlotRun::CopyEnd CPlotRun::sendBands(const CPlotJob& job, const CPlot& plot, CSectionCutter& cutter,
                                      CPlotPort& port, float mediaWidth)
{
    const FRect& bounds = plot.extent;
    sentDrawing_ = false;
    // The first band is always made: a drawing lying on the media's edge at y = 0 ends where it starts.
    for (float y0 = 0.0f; y0 == 0.0f || y0 < bounds.bottom; y0 += mediaWidth) {
        const CCutInfo settings = copySettings(job);
        if (device_.beginPass(dryRun_ ? MessageSteps::Skip : MessageSteps::Run, settings) == 0)
            return CopyEnd::PortFailed;
        std::int32_t consumed = 0;
        std::int32_t charged = 0;
        bool stopped = outputBand(job, plot, cutter, y0, y0 + mediaWidth, consumed, charged);
        // A stop raised while the band's last section was written ends the copy as well.
        stopped = stopped || device_.stopFlag != 0;
        if (stopped && port.writeError().empty())
            finishStoppedPass(port);
        device_.endPass(passEnd(settings));
        // A device paced by its buffer may still be drawing when the pass ends; stopped then, it has not
        // drawn the copy.
        stopped = stopped || port.stoppedWhileDrawing();
        const bool writeFailed = !port.writeError().empty();
        chargeMedia(port, consumed, charged, true);
        if (writeFailed)
            return CopyEnd::WriteFailed;
        if (stopped)
            return CopyEnd::Stopped;
        // Without a positive media width the next band would lie where this one did.
        if (settings_.PageOut == 0 || mediaWidth <= 0.0f)
            break;
        // Bands are left out when the media left could not hold another one.
        if (settings_.REMAINMEDIALENGTH < bounds.right)
            return y0 + mediaWidth < bounds.bottom ? CopyEnd::MediaRanOut : CopyEnd::Sent;
    }
    return CopyEnd::Sent;
}

// The media is charged section by section as the sections reach the device, and the roll count kept in
// Server.INI at once: a run killed in the middle of a copy leaves a count that holds what the device
// received. During the pass only the sections the device has taken bytes of are charged; at its end, a
// port that failed used the media of those sections only (none when the device took no byte), and a pass
// that ended otherwise used the band's media up to its last section.
void CPlotRun::chargeMedia(const CPlotPort& port, std::int32_t consumed, std::int32_t& charged,
                           bool passEnded)
{
    const bool failed = !port.writeError().empty();
    // A pass delivered whole uses its media when it is delivered, and none when it is thrown away. The
    // delivery is journaled with the copy's end, in one commit, so that no kill parts the two.
    if (port.deliversPassesWhole()) {
        if (!passEnded || !port.passDelivered())
            return;
        const std::int64_t media = std::int64_t{consumed} - charged;
        charged = consumed;
        settings_.REMAINMEDIALENGTH = clampToInt32(std::int64_t{settings_.REMAINMEDIALENGTH} - media);
        heldMedia_ += media;
        return;
    }
    if (failed && !passEnded)
        return;
    if (!passEnded || failed)
        consumed = sectionCharges_.reached(port.bytesSent(), charged);
    if (consumed == charged || (port.bytesSent() == 0 && (failed || !passEnded)))
        return;
    const std::int64_t media = std::int64_t{consumed} - charged;
    charged = consumed;
    settings_.REMAINMEDIALENGTH = clampToInt32(std::int64_t{settings_.REMAINMEDIALENGTH} - media);
    if (journal_ && journalCopy_ != 0) {
        journal_->sectionCharged(journalCopy_, media, settings_.REMAINMEDIALENGTH);
        reportJournal();
    }
    saveRemainingMedia();
}

// A stopped pass still leaves the device safe when it takes data: the command the stop cut short is
// completed and the pen lifted, and the pass then ends with its usual closing commands. A device that
// takes nothing for a moment is given up on, and a second stop ends this at once.
void CPlotRun::finishStoppedPass(CPlotPort& port)
{
    device_.stopFlag = 0;
    port.finishAfterStop(SAFE_END_PATIENCE);
    device_.penUp();
}

// Sends the sections of one band (y0 to y1 across the media) along the media's length: each section is
// the section length long and overlaps the one before it. consumed becomes the right edge of the last
// section that held anything, the media the band used; charged is what of it was charged so far. Returns
// whether a stop ended the band.
bool CPlotRun::outputBand(const CPlotJob& job, const CPlot& plot, CSectionCutter& cutter, float y0, float y1,
                          std::int32_t& consumed, std::int32_t& charged)
{
    const FRect& bounds = plot.extent;
    const bool rotated = (job.options & CPlotJob::OPTION_ROTATE) != 0;
    const float step =
        job.sectionLength != 0 ? static_cast<float>(job.sectionLength) : bounds.right + WHOLE_JOB_MARGIN;
    const float overlap = static_cast<float>(usableOverlap(job.sectionLength, job.overlap));
    const int startOffset = static_cast<int>(job.startOffset);
    float x0 = 0.0f;
    float x1 = step;
    std::uint32_t sections = 0;
    sectionCharges_.clear();
    if (!(0.0f <= bounds.right))
        return false;
    for (bool first = true;; first = false) {
        if (device_.stopFlag != 0)
            return true;
        if (!first) {
            x0 -= overlap;
            x1 = x0 + step;
            if (rotated && device_.stopFlag == 0)
                consumed += cutInfo_.mmPageGap;
        }
        if (job.sectionLimit != 0 && ++sections > job.sectionLimit)
            break;
        std::unique_ptr<CPlot> piece = cutter.extract(x0, y0, x1, y1);
        if (piece) {
            if (settings_.LineMark != 0) {
                const bool bandFollows = y1 < bounds.bottom;
                const bool bandBefore = y0 > 0.0f;
                addSpliceMarks(*piece, y0, y1, bandFollows, bandBefore);
            }
            // A dry run tells no one, and reads no text: it may be made on another thread.
            if (!dryRun_)
                list_.setProgressText(
                    rowOf(&job), progressText(truncToInt(x0) + startOffset, truncToInt(x1) + startOffset));
            if (device_.stopFlag != 0)
                return true;
            consumed = truncToInt(piece->extent.right);
            sectionCharges_.sectionBegins(device_.outputPort().bytesHandedOver(), consumed);
            if (settings_.PloterOffset != 0)
                piece->applyTransform(CMatrix::Translation(0.0f, static_cast<float>(settings_.PloterOffset)));
            // Device units, the band starting at 0.
            CMatrix toDevice = CMatrix::Scale(1.0f / device_.RS, 1.0f / device_.RS);
            toDevice.m7 = -y0 / device_.RS;
            transform(*piece, toDevice);
            if (settings_.SortPlot != 0)
                sortByLeftEdge(*piece);
            sentDrawing_ = true;
            // Path by path, so that a stop raised while one was written ends the section at once.
            for (int i = 0; i < piece->count() && device_.stopFlag == 0; ++i) {
                device_.emitPath(piece->at(i));
                reportProgress(job);
            }
            // The section's media is charged once the section has reached the device.
            CPlotPort& port = device_.outputPort();
            if (!port.deliversPassesWhole())
                port.flush();
            chargeMedia(port, consumed, charged, false);
        } else {
            // No write runs the message step for an empty section; a long run of them must still hear
            // the stop command.
            if (!dryRun_)
                platform::messageStep();
        }
        x0 += step;
        if (!(x0 < bounds.right))
            break;
    }
    return false;
}
