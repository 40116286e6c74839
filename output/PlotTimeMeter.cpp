#include "output/PlotTimeMeter.h"

#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "ports/PortSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kMillimetresPerCentimetre = 10;

// Bits of one character on the line: a start bit, the data bits, a parity bit unless there is none, and
// the stop bits.
double bitsPerCharacter(const PortSettings& line)
{
    const int data = line.DataWidth & 0xFF;
    const double dataBits = data >= 5 && data <= 8 ? data : 8;
    const double parity = line.OECheck >= 1 && line.OECheck <= 4 ? 1 : 0;
    const double stop = line.StopBits == 1 ? 1.5 : line.StopBits == 2 ? 2 : 1;
    return 1 + dataBits + parity + stop;
}

bool isParallelPort(const std::string& name)
{
    return name.size() >= 3 && (name[0] == 'L' || name[0] == 'l') && (name[1] == 'P' || name[1] == 'p') &&
           (name[2] == 'T' || name[2] == 't');
}

} // namespace

PlotTimeModel plotTimeModel(const CPlotterDevice& device, const CCutInfo& settings, const PortSettings& line,
                            const std::string& portName)
{
    PlotTimeModel model;
    const bool sendsSpeed = device.SetSpeed != 0 && device.command(CommandTemplate::SpeedCmd)[0] != '\0';
    double speed = sendsSpeed ? settings.PenSpeed : device.DefaultSpeed;
    if (device.highestSpeed > 0)
        speed = std::min<double>(speed, device.highestSpeed);
    // A speed the device would not take leaves it at its default.
    if (!(speed > 0))
        speed = device.DefaultSpeed > 0 ? device.DefaultSpeed : 40;
    model.penDownSpeed = speed * kMillimetresPerCentimetre;
    model.penUpSpeed = std::max<double>(speed, device.highestSpeed) * kMillimetresPerCentimetre;
    model.commandSeconds = kInstructionSeconds;
    model.unitsPerMillimetre = device.RS > 0 ? 1.0 / static_cast<double>(device.RS) : 40;
    model.bytesPerSecond = isParallelPort(portName) ? 0 : line.TranSpeed / bitsPerCharacter(line);
    model.bufferBytes = kPlotterBufferBytes;
    return model;
}

PlotTimeMeter::PlotTimeMeter(const PlotTimeModel& model)
    : model_(model), drawn_(std::max<std::size_t>(model.bufferBytes / kBlockBytes, 1), 0.0)
{
}

void PlotTimeMeter::penTo(bool down, std::int32_t x, std::int32_t y)
{
    const double units = std::hypot(static_cast<double>(x - x_), static_cast<double>(y - y_));
    const double speed = down ? model_.penDownSpeed : model_.penUpSpeed;
    const double seconds = speed > 0 ? units / model_.unitsPerMillimetre / speed : 0;
    unwritten_ += seconds;
    mechanismTotal_ += seconds;
    x_ = x;
    y_ = y;
}

// A write of many points (a coordinate list, a polyline) is drawn as its bytes come: its movements are
// spread over its bytes.
void PlotTimeMeter::written(std::size_t bytes, int instructions)
{
    const double overhead = model_.commandSeconds * instructions;
    unwritten_ += overhead;
    mechanismTotal_ += overhead;
    bytes_ += bytes;
    const double perByte = bytes > 0 ? unwritten_ / static_cast<double>(bytes) : 0;
    std::size_t left = bytes;
    while (openBytes_ + left >= kBlockBytes) {
        const std::size_t taken = kBlockBytes - openBytes_;
        openBytes_ = kBlockBytes;
        openMechanism_ += perByte * static_cast<double>(taken);
        left -= taken;
        closeBlock();
    }
    openBytes_ += left;
    openMechanism_ += bytes > 0 ? perByte * static_cast<double>(left) : unwritten_;
    unwritten_ = 0;
}

double PlotTimeMeter::lineTime(std::size_t bytes) const
{
    return model_.bytesPerSecond > 0 ? static_cast<double>(bytes) / model_.bytesPerSecond : 0;
}

double PlotTimeMeter::room() const { return drawn_[next_]; }

void PlotTimeMeter::closeBlock()
{
    arrived_ = std::max(arrived_ + lineTime(openBytes_), room());
    drawnLast_ = std::max(drawnLast_, arrived_) + openMechanism_;
    drawn_[next_] = drawnLast_;
    next_ = (next_ + 1) % drawn_.size();
    openBytes_ = 0;
    openMechanism_ = 0;
}

double PlotTimeMeter::seconds() const
{
    if (openBytes_ == 0 && openMechanism_ == 0 && unwritten_ == 0)
        return drawnLast_;
    const double arrived = std::max(arrived_ + lineTime(openBytes_), room());
    return std::max(drawnLast_, arrived) + openMechanism_ + unwritten_;
}

double PlotTimeMeter::lineSeconds() const { return std::max(arrived_ + lineTime(openBytes_), room()); }

std::string plotTimeText(double seconds)
{
    const long long whole = std::isfinite(seconds) && seconds > 0 ? std::llround(seconds) : 0;
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}
