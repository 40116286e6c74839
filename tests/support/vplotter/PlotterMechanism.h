#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The drawing side of the simulated pen plotter: takes one HP-GL instruction at a time from the front of
// the input buffer and carries it out at pen speed. Moves take their length divided by the speed; every
// other instruction takes no time. Output instructions (OA, OC, OI, OS, OE) are answered when the
// mechanism reaches them, so an OA sent after the last drawing instruction is answered once the drawing
// is done.
class PlotterMechanism {
public:
    struct Step {
        std::size_t length = 0; // bytes taken from the buffer; 0 when no whole instruction is there yet
        double seconds = 0;     // how long carrying it out takes
        std::string answer;     // what the device sends back, empty for most instructions
    };

    PlotterMechanism(double millimetresPerSecond, std::string identity);

    // Carries out the first instruction of the buffer. bufferFull: the buffer can take no more, so an
    // instruction still without its end is taken as it is rather than waited for.
    Step step(std::string_view buffer, bool bufferFull);
    // ESC.K: the instruction under way is dropped; the pen is lifted.
    void abort() { penDown_ = false; }

    // The HP-GL error number OE reports (0 none, 1 instruction not recognised, 2 wrong number of
    // parameters, 3 parameter out of range); reading it through OE clears it.
    int error() const { return error_; }
    bool penDown() const { return penDown_; }

private:
    void move(std::string_view parameters, double& millimetres);
    std::string status();

    double speed_;
    std::string identity_;
    long x_ = 0;
    long y_ = 0;
    bool penDown_ = false;
    bool relative_ = false;
    bool initialised_ = false;
    int error_ = 0;
};
