#pragma once

#include "output/EmissionObserver.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CCutInfo;
class CPlotterDevice;
struct PortSettings;

// The small mechanical model a plotting time is estimated with: the pen draws at its pen-down speed and
// moves lifted at its pen-up speed, in straight lines; every instruction costs the device a fixed time to
// take in and settle; and the line brings the bytes at its rate into a buffer of the device's size.
// Acceleration is left out: no profile gives it, and at the rates a plotter's line runs the line, not
// the corners, is what a drawing's fine detail waits for.
struct PlotTimeModel {
    double penDownSpeed = 400; // millimetres per second
    double penUpSpeed = 400;   // millimetres per second
    double commandSeconds = 0; // per instruction
    double unitsPerMillimetre = 40;
    double bytesPerSecond = 0; // what the line brings; 0: the line is never what the device waits for
    std::size_t bufferBytes = 1024;
};

// The device's buffer, as HP-GL pen plotters commonly have it, and the time an instruction takes the
// device besides its movement.
constexpr std::size_t kPlotterBufferBytes = 1024;
constexpr double kInstructionSeconds = 0.002;

// The model of the loaded device sent through this port. Speeds are the profile's speed values in
// centimetres per second, the unit of HP-GL's VS: the pen draws at the pass's PenSpeed when the profile
// sends its speed command, else at the device's DefaultSpeed, held to its highest speed; a lifted pen
// moves at the highest speed of the speed range, as HP-GL's VS governs only the lowered pen. The force
// changes the time of no move, so it is not part of the model. A serial port brings bytes at its baud
// rate over the bits of a character (start, data, parity, stop bits); a parallel port is taken as never
// holding the device up. The File port is timed on the serial line settings, the way its output usually
// reaches a plotter.
PlotTimeModel plotTimeModel(const CPlotterDevice& device, const CCutInfo& settings, const PortSettings& line,
                            const std::string& portName);

// Estimates the time of what a device is sent, watching the passes (CPlotterDevice::setEmissionObserver).
// The stream is taken in small blocks: the line brings one block after the other, and holds while the
// device's buffer has no room, until the block a buffer's length before is drawn; the mechanism draws a
// block once it is in and the one before is drawn. A point's movement and an instruction's time go with
// the block in which its bytes end. So a copy takes the longer of line and mechanism where one of them
// is the bottleneck, and their sum nowhere.
class PlotTimeMeter final : public EmissionObserver {
public:
    explicit PlotTimeMeter(const PlotTimeModel& model);

    void penTo(bool down, std::int32_t x, std::int32_t y) override;
    void written(std::size_t bytes, int instructions) override;

    // Seconds until the device has drawn everything written so far.
    double seconds() const;
    // Seconds until the line has brought everything written so far: the sender's place in the copy.
    double lineSeconds() const;
    // The mechanism's own time, as if the line were never waited for.
    double mechanismSeconds() const { return mechanismTotal_; }
    std::size_t bytes() const { return bytes_; }

private:
    static constexpr std::size_t kBlockBytes = 64;

    void closeBlock();
    double lineTime(std::size_t bytes) const;
    // When the buffer has room for the next block: once the block a buffer's length before it is drawn.
    double room() const;

    PlotTimeModel model_;
    // How many blocks the buffer holds, and when the last of them were drawn, oldest first from next_.
    std::vector<double> drawn_;
    std::size_t next_ = 0;
    // The open block: its bytes and the mechanism's time for what ends in it; movements not written yet.
    std::size_t openBytes_ = 0;
    double openMechanism_ = 0;
    double unwritten_ = 0;
    // When the last block had arrived, and when the mechanism drew it.
    double arrived_ = 0;
    double drawnLast_ = 0;
    double mechanismTotal_ = 0;
    std::size_t bytes_ = 0;
    std::int64_t x_ = 0;
    std::int64_t y_ = 0;
};

// "1:02:03" for an hour, two minutes and three seconds, "2:03" under an hour; rounded to whole seconds.
std::string plotTimeText(double seconds);
