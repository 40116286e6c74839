#pragma once

#include "hpgl/HpglStreamReader.h"

#include <cstddef>
#include <string>
#include <string_view>

// How the simulated mechanism moves.
struct MechanismSettings {
    double penSpeed = 400;         // millimetres per second with the pen lowered, until VS sets another
    double penUpSpeed = 0;         // millimetres per second lifted; 0 or less: the pen speed
    double instructionSeconds = 0; // what every instruction takes besides its movement
    std::string identity = "7475A";
};

// The drawing side of the simulated pen plotter: takes one HP-GL instruction at a time from the front of
// the input buffer and carries it out. Moves take their length divided by the speed: VS (centimetres per
// second; IN or VS without a number go back to the set pen speed) for the lowered pen, the pen-up speed
// for the lifted one. Coordinate lists are read absolute (PA) or relative (PR) and HP-GL/2 encoded
// polylines (PE) are followed as drawn. Every instruction takes the instruction time on top. Output
// instructions (OA, OC, OI, OS, OE) are answered when the mechanism reaches them, so an OA sent after the
// last drawing instruction is answered once the drawing is done.
class PlotterMechanism {
public:
    struct Step {
        std::size_t length = 0; // bytes taken from the buffer; 0 when no whole instruction is there yet
        double seconds = 0;     // how long carrying it out takes
        std::string answer;     // what the device sends back, empty for most instructions
    };

    PlotterMechanism(double millimetresPerSecond, std::string identity);
    explicit PlotterMechanism(MechanismSettings settings);

    // Carries out the first instruction of the buffer. bufferFull: the buffer can take no more, so an
    // instruction still without its end is taken as it is rather than waited for.
    Step step(std::string_view buffer, bool bufferFull);
    // ESC.K: the instruction under way is dropped; the pen is lifted.
    void abort()
    {
        pen_.lift();
        inPolyline_ = false;
        openList_.clear();
    }

    // The HP-GL error number OE reports (0 none, 1 instruction not recognised, 2 wrong number of
    // parameters, 3 parameter out of range); reading it through OE clears it.
    int error() const { return error_; }
    bool penDown() const { return pen_.down(); }

private:
    double move(std::string_view instruction);
    Step continueList(std::string_view buffer, bool bufferFull);
    std::string status();

    MechanismSettings settings_;
    double speed_;
    double upSpeed_;
    HpglPen pen_;
    bool initialised_ = false;
    // An encoded polyline is open: what follows in the buffer are its points.
    bool inPolyline_ = false;
    // A coordinate list whose end has not come yet (its mnemonic), and the numbers it had so far.
    std::string openList_;
    std::size_t openNumbers_ = 0;
    int error_ = 0;
};
