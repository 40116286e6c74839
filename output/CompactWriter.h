#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CPlotPort;
class EmissionObserver;

// How an HP-GL device is sent its moves and lines: one command per point as the templates say (Off),
// pen-down points as coordinate lists, relative where that is shorter (Lists), or as HP-GL/2 encoded
// polylines (Encoded).
enum class CompactForm { Off = 0, Lists = 1, Encoded = 2 };

// Writes the moves and lines of a pass in a compact form, as short as HP-GL's syntax allows: an
// instruction is ended by the next mnemonic, and a minus sign separates numbers as a comma does. Points
// come in device units, as the templates would have sent them; relative steps are taken between those
// integers, so the drawing the device makes is the one the plain commands make, point for point. Moves in
// a row collapse to the last one, as the pen draws nothing on the way. Whatever the writer holds is
// written out when flush is called, which the device does before any other command.
class CompactWriter {
public:
    // Starts a pass on port: the device was just initialised, so it is in absolute mode at a position
    // the writer does not know.
    void startPass(CompactForm form, CPlotPort& port, EmissionObserver* observer = nullptr);
    // The next point is sent absolute, whatever is shorter: each section starts from a known place.
    void startSection();
    void moveTo(std::int32_t x, std::int32_t y);
    void lineTo(std::int32_t x, std::int32_t y);
    // Writes out what is held and ends the open instruction.
    void flush();
    // Flushes and leaves the device in absolute mode at a position the writer no longer knows, for
    // commands that place the pen themselves.
    void finish();

private:
    // Wide, so that a step between coordinates at the ends of the 32-bit range does not overflow.
    struct Point {
        std::int64_t x = 0;
        std::int64_t y = 0;
    };

    void writeListRun();
    static void appendList(std::string& text, const char* mnemonic, const std::vector<Point>& points);
    void appendEncodedPoint(Point p, bool down);
    void write(const std::string& text, int instructions);

    CompactForm form_ = CompactForm::Off;
    CPlotPort* port_ = nullptr;
    EmissionObserver* observer_ = nullptr;
    // What the device knows: its position (once a point was sent), and its relative mode.
    bool known_ = false;
    Point position_;
    bool relative_ = false;
    bool absoluteNext_ = true;
    // The move and the pen-down points not written yet.
    bool hasMove_ = false;
    Point move_;
    std::vector<Point> points_;
    // Lists: the last instruction written has no terminator yet.
    bool listOpen_ = false;
    // Encoded form: the text of the open PE instruction not written yet, and whether one is open.
    std::string encoded_;
    bool inEncoded_ = false;
    // PE instructions begun in encoded_ since it was last written.
    int encodedInstructions_ = 0;
};

// The HP-GL/2 encoded-polyline number of value with no fractional bits, appended to out: the sign in
// the lowest bit, then base-64 digits, lowest first, each but the last as 63 + digit and the last as
// 191 + digit.
void appendEncodedNumber(std::string& out, std::int64_t value);
