#include "output/CPlotterDevice.h"

#include "output/CCutInfo.h"
#include "output/CommandFormat.h"
#include "output/SettingValues.h"
#include "plotdata/CPlot.h"
#include "plotdata/PathWalk.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// Millimetres to device units, as mm / RS (divided) or as (1 / RS) x mm (scaled), which round apart in
// the last bit. A resolution that is not positive, or a result that is not a finite number, gives 0, so
// that no infinity or NaN enters the state of a pass.
float dividedToUnits(float mm, float rs) { return rs > 0.0f ? finiteOr(mm / rs, 0.0f) : 0.0f; }

float scaledToUnits(float mm, float rs) { return rs > 0.0f ? finiteOr((1.0f / rs) * mm, 0.0f) : 0.0f; }

} // namespace

// Sends the segments of a path as the walk reads them.
class CPlotterDevice::PathEmitter final : public PathVisitor {
public:
    explicit PathEmitter(CPlotterDevice& device) : device_(device) {}

    void moveTo(const PathItem& item) override
    {
        // Every sub-path starts a half cut with a full cut stretch.
        if (device_.dashFlag_ != 0) {
            device_.dashRemaining_ = device_.solidLength_;
            device_.dashState_ = 1;
        }
        device_.moveTo(item.x, item.y);
    }

    void lineTo(FPoint, const PathItem& end) override
    {
        device_.drawLine(end.x, end.y);
        endSegment(end);
    }

    void curveTo(FPoint start, const PathItem& c1, const PathItem& c2, const PathItem& end) override
    {
        device_.curveTo(start, {c1.x, c1.y}, {c2.x, c2.y}, {end.x, end.y});
        endSegment(end);
    }

private:
    void endSegment(const PathItem& end)
    {
        if ((end.flags & PI_ENDOPEN) != 0)
            device_.flushPending();
    }

    CPlotterDevice& device_;
};

void CPlotterDevice::send(const char* text)
{
    compact_.flush();
    if (text[0] == '\0')
        return;
    output().Write(text);
    if (observer_ != nullptr) {
        // A command is an instruction to the device; separators alone (" ", "; ") are none.
        const std::size_t length = std::strlen(text);
        const bool instruction = std::any_of(
            text, text + length, [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
        observer_->written(length, instruction ? 1 : 0);
    }
}

void CPlotterDevice::sendFormatted(const char* text, const std::int32_t* args, int argCount)
{
    if (text[0] == '\0')
        return;
    char command[kCommandBufferSize];
    formatCommand(command, text, args, argCount);
    send(command);
}

void CPlotterDevice::sendPoint(CommandTemplate t, float x, float y)
{
    // The compact forms tell the points they send themselves, as moves in a row collapse there.
    if (observer_ != nullptr && Compact == 0 && command(t)[0] != '\0')
        observer_->penTo(t != CommandTemplate::MoveTo, toDeviceInt(x), toDeviceInt(y));
    if (Compact != 0) {
        if (t == CommandTemplate::MoveTo)
            compact_.moveTo(toDeviceInt(x), toDeviceInt(y));
        else
            compact_.lineTo(toDeviceInt(x), toDeviceInt(y));
        return;
    }
    const std::int32_t args[2] = {toDeviceInt(x), toDeviceInt(y)};
    sendFormatted(command(t), args, 2);
}

void CPlotterDevice::noteHighestX(float x) { highestX_ = std::max(highestX_, toDeviceInt(x)); }

bool CPlotterDevice::knifeCorrectionActive() const
{
    return knifeOffset_ != 0.0f && PenMode == 0 && HardOffset == 0;
}

float CPlotterDevice::knifeRadius() const { return dividedToUnits(knifeOffset_, RS); }

int CPlotterDevice::beginPass(MessageSteps steps, const CCutInfo& settings)
{
    stopFlag = 0;
    compact_.startPass(static_cast<CompactForm>(Compact), output(), observer_);
    output().setHandshake(Handshake == 1 ? DeviceHandshake::BufferQuery : DeviceHandshake::LineOnly);
    if (output().Open(outputMethodOf(OutMethod), steps, &stopFlag) == PortOpenFailed)
        return 0;

    dashState_ = 1;
    // A negative stretch would walk the half cut backwards and never finish the line.
    solidLength_ = std::max(0.0f, scaledToUnits(settings.SolidCut, RS));
    gapLength_ = std::max(0.0f, scaledToUnits(settings.VoidCut, RS));
    knifeOffset_ = 0.0f;
    dashFlag_ = settings.HalfCut;
    pendingLine_ = 0;
    currentLineType_ = 0;
    curveAccuracy_ = settings.CurveAccurate;
    curveSplit_ = CurveSplit(settings.CurveAccurate);
    highestX_ = 0;

    if (command(CommandTemplate::InitCmd)[0] != '\0') {
        char sequence[6 * kTemplateSize + 1];
        std::size_t used = 0;
        using T = CommandTemplate;
        for (T part : {T::InitCmd, T::HomeCmd, T::RSCMD, T::AbsCmd, T::PenUp, T::SubJoin}) {
            const std::size_t length = strnlen(command(part), kTemplateSize - 1);
            std::memcpy(sequence + used, command(part), length);
            used += length;
        }
        sequence[used] = '\0';
        send(sequence);
    }

    if (PenMode == 0)
        send(command(CommandTemplate::CutCmd));
    else if (HardOffset != 0)
        send(command(CommandTemplate::PlotCmd));

    if (SetSpeed != 0) {
        const std::int32_t speed = settings.PenSpeed;
        sendFormatted(command(CommandTemplate::SpeedCmd), &speed, 1);
    }
    if (SetForce != 0) {
        const std::int32_t force = settings.PenForce;
        sendFormatted(command(CommandTemplate::ForceCmd), &force, 1);
    }

    sendFormatted(command(CommandTemplate::PenUp), nullptr, 0);
    sendFormatted(command(CommandTemplate::HomeCmd), nullptr, 0);

    pageGap_ = settings.mmPageGap;
    return 1;
}

void CPlotterDevice::endPass(PassEnd end)
{
    // The closing moves are sent as they are: no knife correction.
    const float savedOffset = knifeOffset_;
    knifeOffset_ = 0.0f;

    const float feedX = dividedToUnits(static_cast<float>(pageGap_), RS) + static_cast<float>(highestX_);
    moveTo(end == PassEnd::Home ? 0.0f : feedX, 0.0f);
    // The closing templates place the pen in absolute coordinates.
    compact_.finish();
    if (end == PassEnd::Home) {
        sendFormatted(command(CommandTemplate::PenUp), nullptr, 0);
        sendFormatted(command(CommandTemplate::HomeCmd), nullptr, 0);
    } else {
        const std::int32_t feed = toDeviceInt(feedX);
        sendFormatted(command(CommandTemplate::FeedCmd), &feed, 1);
    }

    if (command(CommandTemplate::NewFrame)[0] != '\0' && end != PassEnd::Feed)
        sendFormatted(command(CommandTemplate::NewFrame), nullptr, 0);
    else
        send("; ");

    knifeOffset_ = savedOffset;
    pendingLine_ = 0;
    output().Close();
}

void CPlotterDevice::penUp()
{
    flushPending();
    sendFormatted(command(CommandTemplate::PenUp), nullptr, 0);
}

void CPlotterDevice::flushPending()
{
    // The compact forms end their own instructions; the run goes on into the next move.
    if (pendingLine_ != 0) {
        if (Compact == 0)
            send(" ");
        pendingLine_ = 0;
    }
}

void CPlotterDevice::moveTo(float x, float y)
{
    flushPending();
    noteHighestX(x);
    if (knifeCorrectionActive())
        sendPoint(CommandTemplate::MoveTo, x + knifeVector_.x, y + knifeVector_.y);
    else
        sendPoint(CommandTemplate::MoveTo, x, y);
    lastPoint_ = {x, y};
    pendingLine_ = 0;
}

void CPlotterDevice::emitPlot(const CPlot& plot)
{
    compact_.startSection();
    for (int i = 0; i < plot.count(); ++i)
        emitPath(plot.at(i));
}

void CPlotterDevice::emitPath(const CPlotPath& path)
{
    if (path.count() == 0)
        return;

    if (path.pen != currentPen) {
        // Pens below 0 do not exist on any device; pen 0 is the nearest that does.
        const std::int32_t selected = std::clamp<std::int32_t>(path.pen, 0, MaxPen);
        sendFormatted(";SP%d", &selected, 1);
        currentPen = static_cast<std::uint16_t>(path.pen);
    }
    // A pen beyond the pen table has no offset of its own: the offset in force stays.
    if (path.pen >= 0 && path.pen <= MaxPen && path.pen < kMaxPens)
        knifeOffset_ = penOffsets[path.pen];

    const std::int32_t savedDashFlag = dashFlag_;
    if (isDashedPen(path.pen))
        dashFlag_ = 1;

    if (path.lineType != currentLineType_) {
        if (path.lineType == 0) {
            send(";LT");
        } else {
            // The pattern byte holds a signed HP-GL pattern number (adaptive patterns are negative).
            const std::int32_t pattern[2] = {static_cast<std::int8_t>(path.lineType >> 8),
                                             path.lineType & 0xFF};
            sendFormatted(";LT%d,%d", pattern, 2);
        }
        currentLineType_ = path.lineType;
    }

    PathEmitter emitter(*this);
    walkPath(path, emitter);
    dashFlag_ = savedDashFlag;
}
