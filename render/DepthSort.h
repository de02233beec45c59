#pragma once

#include <cstdint>

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

} // namespace faceto
