#pragma once

#include "filters/BlockWriter.h"
#include "filters/LinePattern.h"
#include "filters/PathSink.h"
#include "filters/Scaling.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace hpgl {

// Where the drawing goes in the end: takes figures in plotter units, clips them to the input window,
// turns them onto the page, converts them to millimetres and writes them into the block. Every pen and
// every line type change starts a new path; a path that grows too long is continued in a new one.
class PenOutput final : public PathSink {
public:
    PenOutput(BlockWriter& writer, const Scaling& scaling, double millimetresPerUnit);

    // Pen 0 holds no pen, unless the file gave it a colour: moves are followed, nothing is drawn.
    void selectPen(int32_t pen);
    void setPenZeroDraws(bool draws) { penZeroDraws_ = draws; }
    int32_t pen() const { return pen_; }
    void setLineType(uint16_t lineType);
    uint16_t lineType() const { return lineType_; }
    // A pattern drawn here as dashes, for line types the path's line type cannot carry; an empty one
    // draws solid (or as the line type says). Labels are held solid while it is set.
    void setPattern(LinePattern pattern);
    void holdPattern(bool hold);

    // The colour (0x00RRGGBB) a pen's paths show in, by a colour item at their start; pens without
    // one show in their palette colour.
    void setPenColour(int32_t pen, uint32_t rgb);
    void clearPenColour(int32_t pen);
    void clearPenColours();

    // Starts a new page, placed after the pages before it.
    void newPage();
    void setWindow(Point low, Point high);
    void clearWindow() { windowed_ = false; }

    void moveTo(Point p) override;
    void lineTo(Point p) override
    {
        // The bulk of every drawing: the next line of an open figure, nothing to clip.
        if (figureOpen_ && !windowed_ && !dashed_ && !pathStale_ && lastWritten_ == current_ &&
            !penParked() && writer_.pathItemCount() + 3 <= kMaxPathItems) {
            current_ = p;
            write(p, kAnchor);
            return;
        }
        lineToNewOrClipped(p);
    }
    void curveTo(Point c1, Point c2, Point p) override;
    void closeFigure() override;
    void finish();

    // Counts the items written so far; a caller can tell whether anything was drawn in between.
    uint64_t itemsWritten() const { return itemsWritten_; }

private:
    // A path is continued in a new one before it passes this many items, so that no single path gets
    // unwieldy for the program.
    static constexpr uint32_t kMaxPathItems = 200000;

    static constexpr int kColouredPens = 256;
    static constexpr int32_t kNoColour = -1;

    void lineToNewOrClipped(Point p);
    void drawClipped(Point from, Point to);
    void updateDashed() { dashed_ = !pattern_.empty() && !patternHeld_; }
    bool inside(Point p) const;
    bool clip(Point& a, Point& b) const;
    bool penParked() const { return pen_ == 0 && !penZeroDraws_; }
    void endFigure();
    void drawLine(Point from, Point to);
    void startFigure(Point at, int itemsAfter);
    void write(Point p, uint8_t flags)
    {
        float x, y;
        toMillimetres(p, x, y);
        writer_.point(x, y, flags);
        ++itemsWritten_;
        lastWritten_ = p;
    }
    void toMillimetres(Point p, float& x, float& y) const
    {
        Point page = scaling_.toPage(p);
        x = toMillimetres(page.x);
        y = toMillimetres(page.y);
    }
    float toMillimetres(double units) const
    {
        if (!(units >= -kPlotterRange)) // also catches NaN
            units = -kPlotterRange;
        units = std::min(units, kPlotterRange);
        return static_cast<float>(units * mmPerUnit_);
    }

    BlockWriter& writer_;
    const Scaling& scaling_;
    double mmPerUnit_;
    int32_t pen_ = 1;
    bool penZeroDraws_ = false;
    uint16_t lineType_ = 0;
    bool pathStale_ = true; // the open path has another pen, line type or colour
    LinePattern pattern_;
    bool patternHeld_ = false;
    bool dashed_ = false; // lines are drawn as the pattern's dashes
    std::array<int32_t, kColouredPens> colours_;

    bool windowed_ = false;
    Point windowLow_, windowHigh_;

    Point current_;      // where the pen is, clipped or not
    Point figureOrigin_; // where the current figure was started
    bool figureClipped_ = false;
    bool figureOpen_ = false; // a move-to of the current figure is in the block
    Point lastWritten_;
    uint64_t itemsWritten_ = 0;
};

} // namespace hpgl
