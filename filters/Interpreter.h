#pragma once

// The HP-GL interpreter, implemented by instruction group: Interpreter.cpp (the instruction loop,
// plotting and pages), PenInstructions.cpp (pens, their colours and line types),
// ScalingInstructions.cpp, CurveInstructions.cpp, ShapeInstructions.cpp, LabelInstructions.cpp and
// PolylineEncoded.cpp.

#include "filters/BlockWriter.h"
#include "filters/PathSink.h"
#include "filters/PenOutput.h"
#include "filters/PlotReader.h"
#include "filters/PolygonBuffer.h"
#include "filters/Scaling.h"
#include "filters/Scanner.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace hpgl {

// A label font as SD and AD define it: its character set, spacing, pitch (characters per inch) and
// height (points); a pitch or height of 0 was not given.
struct FontDefinition {
    int set = 0;
    bool proportional = false;
    double pitch = 0;
    double points = 0;
};

// Character size, direction, slant, origin and terminator of labels.
struct LabelSettings {
    bool sizeGiven = false; // by SI or SR; else the font's definition gives it
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
    int path = 0;                 // DV: 0 right, 1 down, 2 left, 3 up, turned with the label direction
    bool reverseLineFeed = false; // DV: line feeds go the other way across the path
    FontDefinition standard;      // SD, CS
    FontDefinition alternate;     // AD, CA
    bool alternateChosen = false; // SA, or shift out in a label
    unsigned char symbol = 0;     // SM: the character drawn at every point, 0 for none
};

// The size and placement of one character cell of a label, in plotter units.
struct LabelCell {
    double width = 0, height = 0; // character width and cap height
    Point axis;                   // unit vector along the label direction: the characters' baseline
    Point up;                     // unit vector square to it: the characters' upright
    Point path;                   // unit vector from one character to the next
    Point advance;                // from one character cell to the next
    Point lineFeed;               // from one line to the next
};

// Executes the instructions of one HP-GL or HP-GL/2 file, in file order, into a plot block.
class Interpreter {
public:
    Interpreter(const unsigned char* data, size_t size, BlockWriter& writer, double millimetresPerUnit,
                ReadProgress* progress = nullptr);
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
    void applyLineType();
    void userPattern();
    void penColour();
    void newPage();
    void enterHpgl2();
    void polylineEncoded();

    // Arcs and curves.
    Point traceArc(PathSink& out, Point userCenter, Point userStart, double sweepDegrees,
                   double chordDegrees);
    void drawArc(Point userCenter, double sweepDegrees, double chordDegrees);
    void arc(bool relative);
    void arcThreePoint(bool relative);
    void circle();
    void bezier(bool relative);

    // Shapes and polygon mode.
    bool repeatsLastShape(int kind, const double (&key)[5]);
    void rectangle(bool relative);
    void wedge();
    void polygonMode();
    void drawPolygon(bool fill);

    // Scaling and window.
    void inputWindow();
    void scalingInstruction(uint16_t code);

    // Labels.
    void label();
    void bufferLabel();
    void drawLabel(const unsigned char* text, size_t length);
    Point lineShift(int cells, const LabelCell& cell) const;
    void labelTerminator();
    void labelSettings(uint16_t code);
    void characterSet(uint16_t code);
    void fontDefinition(FontDefinition& font);
    int defaultSet() const;
    void symbolMode();
    void drawSymbol(Point at);
    void characterPlot();
    LabelCell labelCell() const;
    void drawCharacter(unsigned char c, Point origin, const LabelCell& cell);

    // Tick marks.
    void tickLength();
    void tick(bool alongY);
    struct LabelText {
        const unsigned char* data;
        size_t length; // with the terminator only when it is printed
    };
    LabelText takeLabelText();

    Scanner scanner_;
    const unsigned char* text_;
    ReadProgress* progress_;
    size_t nextProgress_ = 0; // offset past which the reading is next reported
    Scaling scaling_;
    PenOutput pen_;
    PolygonBuffer polygon_;
    bool polygonMode_ = false;

    Point position_;       // plotter units of the rotated frame
    Point carriageReturn_; // where a carriage return in a label goes back to
    bool penDown_ = false;
    bool absolute_ = true;
    bool hpgl2_ = false; // HP-GL/2 was entered (BP, or from PCL): its label defaults apply

    // LT as given: pattern number, length (percent of the P1..P2 diagonal, or millimetres).
    struct LineType {
        bool solid = true;
        int pattern = 0;
        double length = 4;
        bool millimetres = false;
        friend bool operator==(const LineType&, const LineType&) = default;
    };
    LineType lineType_, previousLineType_;
    std::array<std::vector<double>, 9> userPatterns_; // UL 1..8; empty for the built-in pattern
    LabelSettings label_;
    std::vector<unsigned char> bufferedLabel_;       // BL, printed by PB
    double tickPositive_ = 0.5, tickNegative_ = 0.5; // TL: percent of the P1..P2 span

    struct Shape {
        int kind = 0;
        double key[5] = {};
        int32_t pen = 0;
        LineType lineType;
        uint64_t itemsAfter = 0;
    } lastShape_;
};

} // namespace hpgl
