#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

// What a device draws from an HP-GL stream, read independently of how the program writes it: the lines
// drawn with the pen down, in device units, each with the pen that drew it. Understands IN, SP, PA, PR,
// PU and PD with coordinate lists, and HP-GL/2 encoded polylines (PE, with its pen-up, absolute,
// fractional-bits, pen and 7-bit flags). Other instructions are skipped; they do not move the pen.
struct DrawnPoint {
    double x = 0;
    double y = 0;
};

struct DrawnLine {
    int pen = 0;
    std::vector<DrawnPoint> points;
};

std::vector<DrawnLine> readDrawing(std::string_view stream);

// A pen that follows an HP-GL stream read in pieces, instruction by instruction as a device takes them,
// and tells every movement it makes, lowered or lifted, with the instruction's device units.
struct PenMove {
    DrawnPoint from;
    DrawnPoint to;
    bool down = false;
};

class HpglPen {
public:
    HpglPen();
    ~HpglPen();
    HpglPen(const HpglPen&) = delete;
    HpglPen& operator=(const HpglPen&) = delete;

    // Carries out the instructions of text, calling onMove for every movement.
    void read(std::string_view text, const std::function<void(const PenMove&)>& onMove);
    // The pen is lifted where it is (an abort).
    void lift();
    DrawnPoint position() const;
    bool down() const;

    // The reader behind the pen and readDrawing.
    class Reader;

private:
    std::unique_ptr<Reader> reader_;
};
