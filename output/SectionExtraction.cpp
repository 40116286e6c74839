#include "output/SectionExtraction.h"

#include "geometry/Bezier.h"
#include "geometry/Segment.h"
#include "plotdata/CPlot.h"
#include "plotdata/PathWalk.h"

namespace {

// Walks one path and builds the output paths of the parts inside the window.
class PathClipper final : public PathVisitor {
public:
    PathClipper(CPlot& result, const CPlotPath& source, const FRect& window)
        : result_(result), source_(source), window_(window)
    {
    }

    // Adds the output path still open, if any, to the result.
    void finish() { closeOutput(); }

    void special(const PathItem& item) override
    {
        if (output_)
            output_->append(item);
    }

    void moveTo(const PathItem& item) override
    {
        closeOutput();
        inside_ = pointInRect({item.x, item.y}, window_);
        if (inside_)
            startOutput(item);
    }

    void lineTo(FPoint start, const PathItem& end) override
    {
        const FPoint endPoint{end.x, end.y};
        const bool now = pointInRect(endPoint, window_);
        if (inside_ && now && output_) {
            output_->append(end);
        } else if (segmentBoxMeets(start, endPoint, window_)) {
            FPoint p = start;
            FPoint q = endPoint;
            if (clipSegment(p, q, window_)) {
                if (!inside_ || !output_)
                    startOutput({p.x, p.y, PI_MOVETO | PI_ANCHOR});
                output_->append({q.x, q.y, end.flags});
            }
        }
        inside_ = now;
    }

    void curveTo(FPoint start, const PathItem& c1, const PathItem& c2, const PathItem& end) override
    {
        const Bezier curve{start, {c1.x, c1.y}, {c2.x, c2.y}, {end.x, end.y}};
        const bool now = pointInRect(curve.p3, window_);
        if (inside_ && now && output_ && pointInRect(curve.p1, window_) && pointInRect(curve.p2, window_)) {
            output_->append(c1);
            output_->append(c2);
            output_->append(end);
        } else {
            appendCurvePieces(curve);
        }
        inside_ = now;
    }

private:
    void appendCurvePieces(const Bezier& curve)
    {
        ClipPointList pieces;
        if (!clipBezier(curve, window_, pieces))
            return;
        // A first piece that starts where the curve starts continues the output path it started in.
        int k = 0;
        if (output_ && pieces[0] == curve.p0)
            k = 1;
        for (; k < kClipListSize && pieces[k].x != kClipListEnd; ++k) {
            const FPoint p = pieces[k];
            switch (k % 4) {
            case 0:
                startOutput({p.x, p.y, PI_MOVETO | PI_ANCHOR});
                break;
            case 3:
                output_->append({p.x, p.y, PI_ANCHOR});
                break;
            default:
                output_->append({p.x, p.y, 0});
                break;
            }
        }
    }

    void startOutput(const PathItem& first)
    {
        closeOutput();
        output_ = std::make_unique<CPlotPath>();
        output_->lineType = source_.lineType;
        output_->pen = source_.pen;
        output_->append(first);
    }

    void closeOutput()
    {
        if (output_)
            result_.add(std::move(output_));
    }

    CPlot& result_;
    const CPlotPath& source_;
    const FRect window_;
    std::unique_ptr<CPlotPath> output_;
    // Whether the last anchor was inside the window, so that the open output path continues from it.
    bool inside_ = false;
};

// Appends to result the parts of one path that lie inside the window, each run of drawing inside the
// window as a path of its own.
void clipPath(CPlot& result, const CPlotPath& path, float left, float top, float right, float bottom)
{
    PathClipper clipper(result, path, {left, top, right, bottom});
    walkPath(path, clipper);
    clipper.finish();
}

} // namespace

std::unique_ptr<CPlot> extractSection(const CPlot& plot, float left, float top, float right, float bottom)
{
    auto result = std::make_unique<CPlot>();
    for (int i = 0; i < plot.count(); ++i) {
        const CPlotPath& path = plot.at(i);
        if (path.extent.liesInside(left, top, right, bottom))
            result->add(path.copy());
        else if (!path.extent.liesOutside(left, top, right, bottom))
            clipPath(*result, path, left, top, right, bottom);
    }
    if (result->count() == 0)
        return nullptr;
    return result;
}
