#include "plotdata/SvgPreview.h"

#include "plotdata/CPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Surface units per pixel: points are kept to a quarter pixel, and thinned at a pixel.
constexpr int UNITS_PER_PIXEL = 4;
constexpr int THINNING = 4;
// Pixels of white around the drawing, so that strokes along its edges show whole.
constexpr int MARGIN = 2;

std::string colourText(std::uint32_t colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour & 0xFFU, (colour >> 8) & 0xFFU,
                  (colour >> 16) & 0xFFU);
    return text;
}

} // namespace

void SvgSurface::beginPath()
{
    data_.clear();
    lastCommand_ = 0;
    moveOwed_ = false;
    holding_ = false;
}

bool SvgSurface::near(IPoint p) const
{
    return std::abs(static_cast<long long>(p.x) - start_.x) < thinning_ &&
           std::abs(static_cast<long long>(p.y) - start_.y) < thinning_;
}

void SvgSurface::put(char command, const IPoint* p, std::size_t n)
{
    if (command != lastCommand_)
        data_ += command;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 || command == lastCommand_)
            data_ += ' ';
        data_ += std::to_string(p[i].x);
        data_ += ' ';
        data_ += std::to_string(p[i].y);
    }
    // The letter of a line or a curve repeats implicitly; pairs after a move's would be lines.
    lastCommand_ = command == 'M' ? 0 : command;
    points_ += n;
    start_ = p[n - 1];
}

bool SvgSurface::write(char command, const IPoint* p, std::size_t n)
{
    const std::size_t needed = n + (moveOwed_ ? 1 : 0);
    if (cutShort_ || points_ + needed > maxPoints_) {
        cutShort_ = true;
        return false;
    }
    if (moveOwed_) {
        moveOwed_ = false;
        const IPoint move = start_;
        put('M', &move, 1);
    }
    put(command, p, n);
    return true;
}

void SvgSurface::flushHeld()
{
    if (holding_) {
        holding_ = false;
        write('L', &held_, 1);
    }
}

void SvgSurface::moveTo(IPoint p)
{
    flushHeld();
    start_ = p;
    moveOwed_ = true;
}

void SvgSurface::lineTo(IPoint p)
{
    if (!moveOwed_ && near(p)) {
        held_ = p;
        holding_ = true;
        return;
    }
    holding_ = false;
    write('L', &p, 1);
}

void SvgSurface::bezierTo(IPoint control1, IPoint control2, IPoint end)
{
    if (!moveOwed_ && near(control1) && near(control2) && near(end)) {
        held_ = end;
        holding_ = true;
        return;
    }
    flushHeld();
    const IPoint points[3] = {control1, control2, end};
    write('C', points, 3);
}

CPen SvgSurface::selectPen(const CPen& pen)
{
    const CPen replaced = pen_;
    pen_ = pen;
    return replaced;
}

void SvgSurface::strokePath()
{
    flushHeld();
    if (data_.empty())
        return;
    if (!elements_.empty() && elements_.back().colour == pen_.colour)
        elements_.back().data += data_;
    else
        elements_.push_back({pen_.colour, data_});
    data_.clear();
    lastCommand_ = 0;
}

std::string SvgSurface::elements() const
{
    std::string text;
    for (const Element& element : elements_)
        text += "<path stroke=\"" + colourText(element.colour) + "\" d=\"" + element.data + "\"/>";
    return text;
}

SvgPreview svgPreview(const CPlot& plot, const SvgPreviewLimits& limits)
{
    const FRect& extent = plot.extent;
    const float left = std::min(extent.left, extent.right);
    const float low = std::min(extent.top, extent.bottom);
    const float high = std::max(extent.top, extent.bottom);
    const float length = std::max(extent.left, extent.right) - left;
    const float across = high - low;
    const int roomX = std::max(1, limits.width - 2 * MARGIN);
    const int roomY = std::max(1, limits.height - 2 * MARGIN);
    float scale = 1.0f;
    if (std::isfinite(length) && std::isfinite(across) && (length > 0 || across > 0))
        scale = std::min(length > 0 ? float(roomX) / length : INFINITY,
                         across > 0 ? float(roomY) / across : INFINITY);
    const int width = std::clamp(static_cast<int>(std::ceil(length * scale)), 1, roomX) + 2 * MARGIN;
    const int height = std::clamp(static_cast<int>(std::ceil(across * scale)), 1, roomY) + 2 * MARGIN;

    // From the plot's millimetres, Y upwards, to surface units with Y downwards inside the margin.
    const float units = scale * UNITS_PER_PIXEL;
    CMatrix m = CMatrix::Translation(-left, -high);
    m.Multiply(CMatrix::Scale(units, -units));
    m.Multiply(CMatrix::Translation(float(MARGIN * UNITS_PER_PIXEL), float(MARGIN * UNITS_PER_PIXEL)));
    SvgSurface surface(limits.maxPoints, THINNING);
    plot.draw(surface, &m, nullptr);

    SvgPreview preview;
    preview.points = surface.points();
    preview.cutShort = surface.cutShort();
    const std::string w = std::to_string(width);
    const std::string h = std::to_string(height);
    preview.svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
                  "\" viewBox=\"0 0 " + std::to_string(width * UNITS_PER_PIXEL) + ' ' +
                  std::to_string(height * UNITS_PER_PIXEL) + "\" data-points=\"" +
                  std::to_string(preview.points) + "\"><rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>" +
                  "<g fill=\"none\" stroke-width=\"" + std::to_string(UNITS_PER_PIXEL) +
                  "\" stroke-linecap=\"round\" stroke-linejoin=\"round\">" + surface.elements() +
                  "</g></svg>";
    return preview;
}
