#include "output/SectionExtraction.h"

#include "plotdata/CPlot.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

float leftEdge(const CPlot& plot, int index) { return plot.at(index).extent.left; }

void siftDown(CPlot& plot, int base, int root, int size)
{
    for (;;) {
        int largest = root;
        const int left = 2 * root + 1;
        const int right = left + 1;
        if (left < size && leftEdge(plot, base + left) > leftEdge(plot, base + largest))
            largest = left;
        if (right < size && leftEdge(plot, base + right) > leftEdge(plot, base + largest))
            largest = right;
        if (largest == root)
            return;
        plot.swap(base + root, base + largest);
        root = largest;
    }
}

// The fallback for ranges on which the quicksort keeps splitting off only a few paths at a time (left
// edges already in order, or in reverse), which would otherwise cost quadratic time.
void heapSort(CPlot& plot, int lo, int hi)
{
    const int size = hi - lo + 1;
    for (int root = size / 2 - 1; root >= 0; --root)
        siftDown(plot, lo, root, size);
    for (int end = size - 1; end > 0; --end) {
        plot.swap(lo, lo + end);
        siftDown(plot, lo, 0, end);
    }
}

// Quicksort of lo..hi. The pivot is the larger of the first two distinct left edges of the range, so
// both parts of a split are non-empty; a range whose left edges are all equal is left as it is. The
// smaller part is sorted by recursion and the larger one by the loop, which bounds the stack; once the
// splits have used up their budget, what remains is heap-sorted.
void sortRange(CPlot& plot, int lo, int hi, int budget)
{
    while (hi - lo > 1) {
        const float first = leftEdge(plot, lo);
        int k = lo + 1;
        while (k <= hi && leftEdge(plot, k) == first)
            ++k;
        if (k > hi)
            return;
        if (budget-- <= 0) {
            heapSort(plot, lo, hi);
            return;
        }
        const float pivot = std::max(first, leftEdge(plot, k));
        const int mid = plot.partitionByLeft(lo, hi, pivot);
        if (mid - lo < hi - mid + 1) {
            sortRange(plot, lo, mid - 1, budget);
            lo = mid;
        } else {
            sortRange(plot, mid, hi, budget);
            hi = mid - 1;
        }
    }
    if (hi - lo == 1 && leftEdge(plot, lo) > leftEdge(plot, hi))
        plot.swap(lo, hi);
}

} // namespace

void sortByLeftEdge(CPlot& plot)
{
    // A left edge that is not a number compares with nothing and would keep the partition from
    // advancing: such paths go to the end and the others are sorted.
    int sorted = plot.count();
    for (int i = 0; i < sorted;) {
        if (std::isnan(leftEdge(plot, i)))
            plot.swap(i, --sorted);
        else
            ++i;
    }
    if (sorted < 2)
        return;
    const int budget = 2 * std::bit_width(static_cast<unsigned>(sorted));
    sortRange(plot, 0, sorted - 1, budget);
}
