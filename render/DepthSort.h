#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace faceto {

// Sorts keys[lo..hi] into descending order, moving indices along, in exactly the order of this
// quicksort: while lo < hi, swap element lo with element (lo + hi) / 2, which becomes the pivot; move
// every later element whose key is greater than the pivot's behind the last one moved (Lomuto's
// partition); put the pivot behind them; sort the greater ones; go on with the rest. Triangles of equal
// depth are drawn in the order it leaves them, so that order is kept, but not its cost: a pivot that no
// key of its range passes (many equal keys) is settled in constant time instead of a pass over the
// range, and a range whose keys are all different, which any sort puts in the one descending order, is
// sorted directly once the partitions go too deep. Large arrays are shared out between two cores.
void depthSort(float* keys, int32_t* indices, int lo, int hi);

struct DepthEntry {
    float key;
    int32_t index;
};

// The same sort of the keys of elements 0..count-1, kept from one sort to the next so that sorting again
// after a few keys changed (a vertex drag) costs a few passes instead of a whole sort. The quicksort's
// ranges form a tree; a range whose elements come in the order they came last time and whose keys are
// unchanged ends in the order it ended in, so only the ranges that hold a changed key are partitioned
// again, and a range is sorted anew only below a pivot that a changed key crossed. The result is always
// what depthSort gives.
class DepthOrder {
public:
    // keys[0..count-1] with the indices 0..count-1, sorted as depthSort sorts them.
    void sortAll(const float* keys, int32_t count);
    // The same result as sortAll(keys, count), where the keys differ from those of the last sort at
    // most at the indices in `changed` (repeats are fine); a whole sort when there was none of `count`.
    void sortAgain(const float* keys, int32_t count, std::span<const int32_t> changed);
    // The elements far to near, as the last sort left them.
    const std::vector<DepthEntry>& sorted() const { return sorted_; }

private:
    std::vector<DepthEntry> sorted_;
    std::vector<int32_t> place_; // each index's place in sorted_
    std::vector<DepthEntry> work_;
    std::vector<DepthEntry> tapes_;
};

} // namespace faceto
