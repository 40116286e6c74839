#pragma once

// The HP-GL interpreter, implemented by instruction group: Interpreter.cpp (the instruction loop,
// pens and plotting), ScalingInstructions.cpp, CurveInstructions.cpp, ShapeInstructions.cpp,
// LabelInstructions.cpp and PolylineEncoded.cpp.

#include "filters/BlockWriter.h"
#include "filters/PathSink.h"
#include "filters/PenOutput.h"
#include "filters/PolygonBuffer.h"
#include "filters/Scaling.h"
#include "filters/Scanner.h"

#include <cstddef>
#include <cstdint>

namespace hpgl {

// Character size, direction, slant, origin and terminator of labels.
struct LabelSettings {
    bool relativeSize = false;
    double width = 0.19, height = 0.27; // centimetres (SI) or percent of P1..P2 (SR)
    bool relativeDirection = false;
    double run = 1, rise = 0; // DI, or percent of P1..P2 for DR
    double slant = 0;         // tangent of the slant angle
    int origin = 1;           // LO position
    double extraSpace = 0;    // ES: added to each character cell, in cells
    double extraLines = 0;    // ES: added to each line feed, in lines
    unsigned char terminator = 0x03;
    bool printTerminator = false;
};

// The size and placement of one character cell of a label, in plotter units.
struct LabelCell {
    double width = 0, height = 0; // character width and cap height
    Point axis;                   // unit vector along the label
    Point advance;                // from one character cell to the next
    Point lineFeed;               // from one line to the next, downwards
};

// Executes the instructions of one HP-GL or HP-GL/2 file, in file order, into a plot block.
class Interpreter {
public:
    Interpreter(const unsigned char* data, size_t size, BlockWriter& writer, double millimetresPerUnit);
    void run();

private:
    void execute(uint16_t code);
    void initialize(bool everything);

    // Pen moves.
    PathSink& sink();
    void moveTo(Point target);
    void drawTo(Point target);
    void travelTo(Point target); // drawing or not, as the pen is up or down
    Point afterRelativeMove(Point userDelta) const;
    void plot(bool absolute);
    void penUpDown(bool down);
    void selectPen();
    void lineType();
    void polylineEncoded();

    // Arcs and curves.
    void drawArc(Point userCenter, double sweepDegrees);
    void arc(bool relative);
    void arcThreePoint(bool relative);
    void circle();
    void bezier(bool relative);

    // Shapes and polygon mode.
    bool repeatsLastShape(int kind, const double (&key)[5]);
    void rectangle(bool relative);
    void wedge();
    void polygonMode();
    void drawPolygon();

    // Scaling and window.
    void inputWindow();
    void scalingInstruction(uint16_t code);

    // Labels.
    void label();
    void labelTerminator();
    void labelSettings(uint16_t code);
    void characterPlot();
    LabelCell labelCell() const;
    void drawCharacter(unsigned char c, Point origin, const LabelCell& cell);
    struct LabelText {
        const unsigned char* data;
        size_t length; // without the terminator
        bool terminated;
    };
    LabelText takeLabelText();

    Scanner scanner_;
    Scaling scaling_;
    PenOutput pen_;
    PolygonBuffer polygon_;
    bool polygonMode_ = false;

    Point position_;       // plotter units of the rotated frame
    Point carriageReturn_; // where a carriage return in a label goes back to
    bool penDown_ = false;
    bool absolute_ = true;
    uint16_t previousLineType_ = 0;
    LabelSettings label_;

    struct Shape {
        int kind = 0;
        double key[5] = {};
        int32_t pen = 0;
        uint16_t lineType = 0;
        uint64_t itemsAfter = 0;
    } lastShape_;
};

} // namespace hpgl
