#pragma once

#include "plotdata/DrawingSurface.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CPlot;

// A drawing surface that writes SVG path data, for previews on a web page. Coordinates are whole units of
// the surface; each stroked path becomes one <path> element, and consecutive paths of one colour share an
// element. The size stays bounded however large the plot: a point closer than `thinning` units (in x and
// in y) to the last one written is left out, unless it ends its figure, and once maxPoints points have
// been written nothing more is.
class SvgSurface : public DrawingSurface {
public:
    SvgSurface(std::size_t maxPoints, int thinning) : maxPoints_(maxPoints), thinning_(thinning) {}

    void beginPath() override;
    void moveTo(IPoint p) override;
    void lineTo(IPoint p) override;
    void bezierTo(IPoint control1, IPoint control2, IPoint end) override;
    CPen selectPen(const CPen& pen) override;
    void strokePath() override;

    // The <path> elements written so far, with stroke colours and no other attributes.
    std::string elements() const;
    std::size_t points() const { return points_; }
    // Whether points were left out because the budget ran out (thinning does not count).
    bool cutShort() const { return cutShort_; }

private:
    bool near(IPoint p) const;
    // Writes one command of n points, after the move it starts from if one is owed, unless the budget is
    // spent.
    bool write(char command, const IPoint* p, std::size_t n);
    void put(char command, const IPoint* p, std::size_t n);
    // Writes the point held back by the thinning, if any: it ends a figure.
    void flushHeld();

    struct Element {
        std::uint32_t colour;
        std::string data;
    };

    std::size_t maxPoints_;
    int thinning_;
    std::size_t points_ = 0;
    bool cutShort_ = false;
    CPen pen_;
    std::vector<Element> elements_;
    std::string data_;
    char lastCommand_ = 0;
    // Where the next segment starts: a move not yet written, or the last point written.
    IPoint start_;
    bool moveOwed_ = false;
    IPoint held_;
    bool holding_ = false;
};

// Limits of a preview: the largest width and height in pixels and the most points written.
struct SvgPreviewLimits {
    int width = 320;
    int height = 200;
    std::size_t maxPoints = 20000;
};

struct SvgPreview {
    // A whole <svg> element; the plot's length runs to the right, its Y axis upwards.
    std::string svg;
    std::size_t points = 0;
    bool cutShort = false;
};

// Draws the plot through its paths' walk, fitted into the limits with its proportions kept.
SvgPreview svgPreview(const CPlot& plot, const SvgPreviewLimits& limits);
