#include "output/SectionExtraction.h"

#include "geometry/Bezier.h"
#include "geometry/Segment.h"
#include "plotdata/CPlot.h"
#include "plotdata/PathWalk.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// The window and what every path of one section shares: the window also normalised, for the box tests
// of segments, and the items of the output path being built.
struct Section {
    Section(float left, float top, float right, float bottom)
        : window{left, top, right, bottom}, normalised(window)
    {
        normalised.normalise();
    }

    FRect window;
    FRect normalised;
    std::vector<PathItem> open;
};

// Whether the bounding box of P-Q meets the normalised window.
bool boxMeets(FPoint p, FPoint q, const FRect& window)
{
    return !(std::min(p.x, q.x) > window.right || std::max(p.x, q.x) < window.left ||
             std::min(p.y, q.y) > window.bottom || std::max(p.y, q.y) < window.top);
}

// Walks one path and builds the output paths of the parts inside the window.
class PathClipper final : public PathVisitor {
public:
    PathClipper(CPlot& result, const CPlotPath& source, Section& section)
        : result_(result), source_(source), window_(section.window), normalised_(section.normalised),
          items_(section.open)
    {
        items_.clear();
    }

    // Adds the output path still open, if any, to the result.
    void finish() { closeOutput(); }

    void special(const PathItem& item) override
    {
        if (open_)
            items_.push_back(item);
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
        if (inside_ && now && open_) {
            items_.push_back(end);
        } else if (boxMeets(start, endPoint, normalised_)) {
            FPoint p = start;
            FPoint q = endPoint;
            if (clipSegment(p, q, window_)) {
                if (!inside_ || !open_)
                    startOutput({p.x, p.y, PI_MOVETO | PI_ANCHOR});
                items_.push_back({q.x, q.y, end.flags});
            }
        }
        inside_ = now;
    }

    void curveTo(FPoint start, const PathItem& c1, const PathItem& c2, const PathItem& end) override
    {
        const Bezier curve{start, {c1.x, c1.y}, {c2.x, c2.y}, {end.x, end.y}};
        const bool now = pointInRect(curve.p3, window_);
        if (inside_ && now && open_ && pointInRect(curve.p1, window_) && pointInRect(curve.p2, window_)) {
            items_.push_back(c1);
            items_.push_back(c2);
            items_.push_back(end);
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
        if (open_ && pieces[0] == curve.p0)
            k = 1;
        for (; k < kClipListSize && pieces[k].x != kClipListEnd; ++k) {
            const FPoint p = pieces[k];
            switch (k % 4) {
            case 0:
                startOutput({p.x, p.y, PI_MOVETO | PI_ANCHOR});
                break;
            case 3:
                items_.push_back({p.x, p.y, PI_ANCHOR});
                break;
            default:
                items_.push_back({p.x, p.y, 0});
                break;
            }
        }
    }

    void startOutput(const PathItem& first)
    {
        closeOutput();
        open_ = true;
        items_.push_back(first);
    }

    // The output path is built only once its items are known, so that its storage fits them: a section
    // of many short pieces would otherwise hold room for 50 items in each.
    void closeOutput()
    {
        if (!open_)
            return;
        open_ = false;
        auto output = std::make_unique<CPlotPath>();
        output->lineType = source_.lineType;
        output->pen = source_.pen;
        output->assignItemsWithExtent(items_.data(), static_cast<uint32_t>(items_.size()));
        items_.clear();
        result_.add(std::move(output));
    }

    CPlot& result_;
    const CPlotPath& source_;
    const FRect& window_;
    const FRect& normalised_;
    std::vector<PathItem>& items_;
    bool open_ = false;
    // Whether the last anchor was inside the window, so that the open output path continues from it.
    bool inside_ = false;
};

// Adds to result what of one path lies inside the window: the whole path when its extent lies inside,
// else the parts inside, each run of drawing inside the window as a path of its own.
void addPartInside(CPlot& result, const CPlotPath& path, Section& section)
{
    const FRect& w = section.window;
    if (path.extent.liesInside(w.left, w.top, w.right, w.bottom)) {
        result.add(path.copy());
    } else if (!path.extent.liesOutside(w.left, w.top, w.right, w.bottom)) {
        PathClipper clipper(result, path, section);
        walkPath(path, clipper);
        clipper.finish();
    }
}

// Paths shorter than this are walked whole; longer ones are looked at figure by figure when the window
// is narrow beside them: a wide window holds most figures anyway, and the list would only cost memory.
constexpr uint32_t kFigureIndexMinItems = 64;
constexpr float kNarrowWindowShare = 0.25f;

bool worthListingFigures(const CPlotPath& path, const FRect& window)
{
    return path.count() >= kFigureIndexMinItems &&
           window.right - window.left < kNarrowWindowShare * (path.extent.right - path.extent.left);
}

// The parts inside the window of a path whose figures are listed: figures whose box misses the window
// are passed over without walking their items. Each figure starts with a move-to, which ends whatever
// output path is open, so a figure passed over changes nothing of the walk of the next one.
void clipByFigures(CPlot& result, const CPlotPath& path, const std::vector<CSectionCutter::Figure>& figures,
                   Section& section)
{
    PathClipper clipper(result, path, section);
    PathWalk walk;
    const PathItem* items = path.items();
    const FRect& w = section.window;
    const uint32_t leadEnd = figures.empty() ? path.count() : figures.front().start;
    for (uint32_t i = 0; i < leadEnd; ++i)
        walk.step(items, i, clipper);
    for (std::size_t f = 0; f < figures.size(); ++f) {
        const uint32_t end = f + 1 < figures.size() ? figures[f + 1].start : path.count();
        if (figures[f].box.liesOutside(w.left, w.top, w.right, w.bottom))
            continue;
        for (uint32_t i = figures[f].start; i < end; ++i)
            walk.step(items, i, clipper);
    }
    clipper.finish();
}

std::unique_ptr<CPlot> nullWhenEmpty(std::unique_ptr<CPlot> result)
{
    if (result->count() == 0)
        return nullptr;
    return result;
}

bool hasNumericEdges(const FRect& extent) { return !std::isnan(extent.left) && !std::isnan(extent.right); }

} // namespace

std::unique_ptr<CPlot> extractSection(const CPlot& plot, float left, float top, float right, float bottom)
{
    auto result = std::make_unique<CPlot>();
    Section section(left, top, right, bottom);
    for (int i = 0; i < plot.count(); ++i)
        addPartInside(*result, plot.at(i), section);
    return nullWhenEmpty(std::move(result));
}

CSectionCutter::CSectionCutter(const CPlot& plot) : plot_(plot)
{
    for (int i = 0; i < plot.count(); ++i) {
        if (hasNumericEdges(plot.at(i).extent))
            byLeft_.push_back(i);
        else
            everywhere_.push_back(i);
    }
    std::sort(byLeft_.begin(), byLeft_.end(),
              [&plot](int a, int b) { return plot.at(a).extent.left < plot.at(b).extent.left; });
}

std::unique_ptr<CPlot> CSectionCutter::extract(float left, float top, float right, float bottom)
{
    findPathsReaching(left, right);
    auto result = std::make_unique<CPlot>();
    Section section(left, top, right, bottom);
    // Boxes tell what a segment may reach only in a window whose edges are in order.
    const bool byFigures = left <= right && top <= bottom;
    for (int i : candidates_) {
        const CPlotPath& path = plot_.at(i);
        const FRect& w = section.window;
        if (byFigures && worthListingFigures(path, w) &&
            !path.extent.liesInside(w.left, w.top, w.right, w.bottom) &&
            !path.extent.liesOutside(w.left, w.top, w.right, w.bottom))
            clipByFigures(*result, path, figuresOf(i), section);
        else
            addPartInside(*result, path, section);
    }
    return nullWhenEmpty(std::move(result));
}

// The figures of a path, each from its move-to to the next one, with the box of all their points
// (control points included); listed when the path is first clipped. A box holding a point that is not
// a number is all NaN, so that it never misses a window.
const std::vector<CSectionCutter::Figure>& CSectionCutter::figuresOf(int pathIndex)
{
    if (figures_.empty())
        figures_.resize(static_cast<std::size_t>(plot_.count()));
    std::vector<Figure>& figures = figures_[static_cast<std::size_t>(pathIndex)];
    if (!figures.empty())
        return figures;
    const CPlotPath& path = plot_.at(pathIndex);
    const PathItem* items = path.items();
    for (uint32_t i = 0; i < path.count(); ++i) {
        const PathItem& item = items[i];
        if (isSpecial(item))
            continue;
        if (isMoveTo(item)) {
            figures.push_back({i, {item.x, item.y, item.x, item.y}});
        } else if (!figures.empty()) {
            figures.back().box.widen({item.x, item.y});
        }
        if (!figures.empty() && (std::isnan(item.x) || std::isnan(item.y))) {
            const float nan = std::numeric_limits<float>::quiet_NaN();
            figures.back().box = {nan, nan, nan, nan};
        }
    }
    return figures;
}

// The paths whose extent may meet the window from left to right, in the plot's order. Windows that move
// to the right let the paths they have passed go for good; any other window starts the sweep anew.
void CSectionCutter::findPathsReaching(float left, float right)
{
    candidates_.clear();
    if (std::isnan(left) || std::isnan(right)) {
        for (int i = 0; i < plot_.count(); ++i)
            candidates_.push_back(i);
        return;
    }
    if (!(left >= lastLeft_ && right >= lastRight_)) {
        entered_ = 0;
        reaching_.clear();
    }
    lastLeft_ = left;
    lastRight_ = right;
    while (entered_ < byLeft_.size() && !(plot_.at(byLeft_[entered_]).extent.left > right))
        reaching_.push_back(byLeft_[entered_++]);
    std::erase_if(reaching_, [&](int i) { return plot_.at(i).extent.right < left; });
    candidates_ = reaching_;
    candidates_.insert(candidates_.end(), everywhere_.begin(), everywhere_.end());
    std::sort(candidates_.begin(), candidates_.end());
}
