#include "filters/PenOutput.h"

#include <algorithm>

namespace hpgl {

namespace {

// Curves that cross the window, or are dashed, are drawn as this many lines.
constexpr int kClipSteps = 16;
// The room left between pages: 10 mm.
constexpr double kPageGapUnits = 400;

Point bezierPoint(Point p0, Point p1, Point p2, Point p3, double t)
{
    double u = 1 - t;
    double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y};
}

} // namespace

PenOutput::PenOutput(BlockWriter& writer, const Scaling& scaling, double millimetresPerUnit)
    : writer_(writer), scaling_(scaling), mmPerUnit_(millimetresPerUnit)
{
    colours_.fill(kNoColour);
    writer_.setPageGap(static_cast<float>(kPageGapUnits * millimetresPerUnit));
}

void PenOutput::selectPen(int32_t pen)
{
    if (pen == pen_)
        return;
    endFigure();
    pen_ = pen;
    pathStale_ = true;
}

void PenOutput::setLineType(uint16_t lineType)
{
    if (lineType == lineType_)
        return;
    endFigure();
    lineType_ = lineType;
    pathStale_ = true;
}

void PenOutput::setPattern(LinePattern pattern)
{
    endFigure();
    pattern_ = std::move(pattern);
    updateDashed();
}

void PenOutput::holdPattern(bool hold)
{
    patternHeld_ = hold;
    updateDashed();
}

void PenOutput::setPenColour(int32_t pen, uint32_t rgb)
{
    if (pen < 0 || pen >= kColouredPens || colours_[pen] == static_cast<int32_t>(rgb))
        return;
    colours_[pen] = static_cast<int32_t>(rgb);
    if (pen == pen_) {
        endFigure();
        pathStale_ = true;
    }
}

void PenOutput::clearPenColour(int32_t pen)
{
    if (pen < 0 || pen >= kColouredPens || colours_[pen] == kNoColour)
        return;
    colours_[pen] = kNoColour;
    if (pen == pen_) {
        endFigure();
        pathStale_ = true;
    }
}

void PenOutput::clearPenColours()
{
    for (int32_t pen = 0; pen < kColouredPens; ++pen)
        clearPenColour(pen);
}

void PenOutput::newPage()
{
    endFigure();
    writer_.endPage();
}

void PenOutput::setWindow(Point low, Point high)
{
    windowLow_ = {std::min(low.x, high.x), std::min(low.y, high.y)};
    windowHigh_ = {std::max(low.x, high.x), std::max(low.y, high.y)};
    windowed_ = true;
}

bool PenOutput::inside(Point p) const
{
    return !windowed_ ||
           (p.x >= windowLow_.x && p.x <= windowHigh_.x && p.y >= windowLow_.y && p.y <= windowHigh_.y);
}

// Cuts the segment a-b to the window; false when nothing of it lies inside.
bool PenOutput::clip(Point& a, Point& b) const
{
    double t0 = 0, t1 = 1;
    double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - windowLow_.x, windowHigh_.x - a.x, a.y - windowLow_.y, windowHigh_.y - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1)
            return false;
    }
    Point start = a;
    if (t1 < 1)
        b = {start.x + t1 * dx, start.y + t1 * dy};
    if (t0 > 0)
        a = {start.x + t0 * dx, start.y + t0 * dy};
    return true;
}

void PenOutput::moveTo(Point p)
{
    endFigure();
    pattern_.restart();
    current_ = p;
    figureOrigin_ = p;
    figureClipped_ = false;
}

void PenOutput::lineToNewOrClipped(Point p)
{
    Point from = current_;
    current_ = p;
    if (penParked())
        return;
    // Once the block is full nothing more is written: dashing would only take time.
    if (dashed_ && !writer_.failed())
        pattern_.split(from, p, [this](Point a, Point b) { drawClipped(a, b); });
    else
        drawClipped(from, p);
}

void PenOutput::drawClipped(Point from, Point to)
{
    if (!windowed_) {
        drawLine(from, to);
        return;
    }
    Point a = from, b = to;
    if (!clip(a, b)) {
        figureClipped_ = true;
        endFigure();
        return;
    }
    if (!(a == from)) {
        figureClipped_ = true;
        endFigure();
    }
    drawLine(a, b);
    if (!(b == to)) {
        figureClipped_ = true;
        endFigure();
    }
}

void PenOutput::curveTo(Point c1, Point c2, Point p)
{
    if (penParked()) {
        current_ = p;
        return;
    }
    if (dashed_ || (windowed_ && !(inside(current_) && inside(c1) && inside(c2) && inside(p)))) {
        Point start = current_;
        for (int i = 1; i <= kClipSteps; ++i)
            lineTo(i == kClipSteps ? p : bezierPoint(start, c1, c2, p, static_cast<double>(i) / kClipSteps));
        return;
    }
    startFigure(current_, 3);
    float x1, y1, x2, y2, x, y;
    toMillimetres(c1, x1, y1);
    toMillimetres(c2, x2, y2);
    toMillimetres(p, x, y);
    writer_.curve(x1, y1, x2, y2, x, y, kAnchor);
    itemsWritten_ += 3;
    current_ = p;
    lastWritten_ = p;
}

void PenOutput::closeFigure()
{
    if (!(current_ == figureOrigin_))
        lineTo(figureOrigin_);
    // A dashed outline ends where its last dash does: it is not one closed figure.
    if (figureOpen_ && !figureClipped_ && !dashed_) {
        writer_.markLast(kClose);
        figureOpen_ = false;
    }
    endFigure();
}

void PenOutput::finish()
{
    endFigure();
    writer_.endPath();
}

void PenOutput::endFigure()
{
    if (figureOpen_)
        writer_.markLast(kEndOpen);
    figureOpen_ = false;
}

void PenOutput::drawLine(Point from, Point to)
{
    startFigure(from, 1);
    write(to, kAnchor);
}

// Makes sure a figure is open at `at` in a path of the current pen and line type with room for
// `itemsAfter` more items, continuing a long figure in a new path when needed.
void PenOutput::startFigure(Point at, int itemsAfter)
{
    bool full = writer_.pathItemCount() + static_cast<uint32_t>(itemsAfter) + 2 > kMaxPathItems;
    if (pathStale_ || full || !writer_.pathOpen()) {
        endFigure();
        writer_.beginPath(pen_, lineType_);
        if (pen_ >= 0 && pen_ < kColouredPens && colours_[pen_] != kNoColour) {
            const auto rgb = static_cast<uint32_t>(colours_[pen_]);
            writer_.colour(static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                           static_cast<uint8_t>(rgb));
        }
        pathStale_ = false;
    }
    if (figureOpen_ && !(lastWritten_ == at))
        endFigure();
    if (!figureOpen_) {
        write(at, kMoveTo | kAnchor);
        figureOpen_ = true;
    }
}

} // namespace hpgl
