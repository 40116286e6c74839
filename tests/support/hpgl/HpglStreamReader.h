#pragma once

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
