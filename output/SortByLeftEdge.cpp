#include "output/SectionExtraction.h"

#include "plotdata/CPlot.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// The sort runs on a list of the paths' left edges, held side by side, and puts the paths in the list's
// final order once at the end: reading every left edge through its path would fetch a path from
// anywhere in memory at every comparison.
struct Entry {
    float left;
    int path;
};
using Entries = std::vector<Entry>;

void siftDown(Entries& list, int base, int root, int size)
{
    for (;;) {
        int largest = root;
        const int left = 2 * root + 1;
        const int right = left + 1;
        if (left < size && list[base + left].left > list[base + largest].left)
            largest = left;
        if (right < size && list[base + right].left > list[base + largest].left)
            largest = right;
        if (largest == root)
            return;
        std::swap(list[base + root], list[base + largest]);
        root = largest;
    }
}

// The fallback for ranges on which the quicksort keeps splitting off only a few paths at a time (left
// edges already in order, or in reverse), which would otherwise cost quadratic time.
void heapSort(Entries& list, int lo, int hi)
{
    const int size = hi - lo + 1;
    for (int root = size / 2 - 1; root >= 0; --root)
        siftDown(list, lo, root, size);
    for (int end = size - 1; end > 0; --end) {
        std::swap(list[lo], list[lo + end]);
        siftDown(list, lo, 0, end);
    }
}

// Moves the entries of lo..hi with a left edge below the pivot to the front and returns where the
// others begin, swapping as CPlot::partitionByLeft does, so that paths with equal left edges end in the
// same order as there.
int partitionByLeft(Entries& list, int lo, int hi, float pivot)
{
    if (lo >= hi)
        return lo;
    for (;;) {
        while (list[lo].left < pivot)
            ++lo;
        while (list[hi].left >= pivot) {
            --hi;
            if (hi <= lo)
                return lo;
        }
        if (lo >= hi)
            return lo;
        std::swap(list[lo], list[hi]);
        ++lo;
        --hi;
    }
}

// Quicksort of lo..hi. The pivot is the larger of the first two distinct left edges of the range, so
// both parts of a split are non-empty; a range whose left edges are all equal is left as it is. The
// smaller part is sorted by recursion and the larger one by the loop, which bounds the stack; once the
// splits have used up their budget, what remains is heap-sorted.
void sortRange(Entries& list, int lo, int hi, int budget)
{
    while (hi - lo > 1) {
        const float first = list[lo].left;
        int k = lo + 1;
        while (k <= hi && list[k].left == first)
            ++k;
        if (k > hi)
            return;
        if (budget-- <= 0) {
            heapSort(list, lo, hi);
            return;
        }
        const float pivot = std::max(first, list[k].left);
        const int mid = partitionByLeft(list, lo, hi, pivot);
        if (mid - lo < hi - mid + 1) {
            sortRange(list, lo, mid - 1, budget);
            lo = mid;
        } else {
            sortRange(list, mid, hi, budget);
            hi = mid - 1;
        }
    }
    if (hi - lo == 1 && list[lo].left > list[hi].left)
        std::swap(list[lo], list[hi]);
}

// Puts the paths in the order of the list: place i takes the path that was at list[i].path. Each cycle of
// the reordering is followed once, one swap per place; the list marks the places done, so that no other
// memory is needed beside a large plot.
void applyOrder(CPlot& plot, Entries& list)
{
    const auto n = static_cast<int>(list.size());
    for (int start = 0; start < n; ++start) {
        int place = start;
        while (list[static_cast<std::size_t>(place)].path != start) {
            const int from = list[static_cast<std::size_t>(place)].path;
            plot.swap(place, from);
            list[static_cast<std::size_t>(place)].path = place;
            place = from;
        }
        list[static_cast<std::size_t>(place)].path = place;
    }
}

} // namespace

void sortByLeftEdge(CPlot& plot)
{
    Entries list(static_cast<std::size_t>(plot.count()));
    for (int i = 0; i < plot.count(); ++i)
        list[static_cast<std::size_t>(i)] = Entry{plot.at(i).extent.left, i};
    // A left edge that is not a number compares with nothing and would keep the partition from
    // advancing: such paths go to the end and the others are sorted.
    int sorted = plot.count();
    for (int i = 0; i < sorted;) {
        if (std::isnan(list[static_cast<std::size_t>(i)].left))
            std::swap(list[static_cast<std::size_t>(i)], list[static_cast<std::size_t>(--sorted)]);
        else
            ++i;
    }
    if (sorted >= 2)
        sortRange(list, 0, sorted - 1, 2 * std::bit_width(static_cast<unsigned>(sorted)));
    applyOrder(plot, list);
}
