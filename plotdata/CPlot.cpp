#include "plotdata/CPlot.h"

#include "plotdata/CInvalidArgException.h"

#include <algorithm>
#include <utility>

namespace {

void unite(FRect& extent, const FRect& other)
{
    extent.left = std::min(extent.left, other.left);
    extent.top = std::min(extent.top, other.top);
    extent.right = std::max(extent.right, other.right);
    extent.bottom = std::max(extent.bottom, other.bottom);
}

} // namespace

CPlot::~CPlot() { clear(); }

CPlotPath& CPlot::at(int index)
{
    if (index < 0 || index >= count())
        throw CInvalidArgException();
    return *paths_[size_t(index)];
}

const CPlotPath& CPlot::at(int index) const
{
    if (index < 0 || index >= count())
        throw CInvalidArgException();
    return *paths_[size_t(index)];
}

void CPlot::clear()
{
    while (!paths_.empty())
        paths_.pop_back();
    extent.clear();
}

int CPlot::add(std::unique_ptr<CPlotPath> path)
{
    if (!path)
        return -1;
    const int n = count();
    if (!transform.IsIdentity())
        bake();
    if (n == 0)
        extent = path->extent;
    else
        unite(extent, path->extent);
    paths_.push_back(std::move(path));
    return n;
}

void CPlot::applyTransform(const CMatrix& m)
{
    transform.Multiply(m);
    m.TransformRectBounds(extent);
}

void CPlot::bake()
{
    for (size_t i = 0; i < paths_.size(); ++i) {
        paths_[i]->transform(transform);
        if (i == 0)
            extent = paths_[i]->extent;
        else
            unite(extent, paths_[i]->extent);
    }
    transform.SetIdentity();
}

std::unique_ptr<CPlot> CPlot::copy() const
{
    if (paths_.empty())
        return nullptr;
    auto plot = std::make_unique<CPlot>();
    plot->paths_.reserve(paths_.size());
    for (const auto& path : paths_)
        plot->paths_.push_back(path->copy());
    return plot;
}

void CPlot::swap(int i, int j) // NOLINT(bugprone-exception-escape): a bad index throws
{
    at(i);
    at(j);
    std::swap(paths_[size_t(i)], paths_[size_t(j)]);
}

int CPlot::partitionByLeft(int lo, int hi, float pivot)
{
    if (lo >= hi)
        return lo;
    for (;;) {
        while (at(lo).extent.left < pivot)
            ++lo;
        while (at(hi).extent.left >= pivot) {
            --hi;
            if (hi <= lo)
                return lo;
        }
        if (lo >= hi)
            return lo;
        swap(lo, hi);
        // The swapped paths are on their right sides now; stepping past them keeps a min X that
        // compares with nothing (NaN) from swapping the same pair for ever.
        ++lo;
        --hi;
    }
}
