#include "render/DepthSort.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace faceto {

namespace {

struct DepthEntry {
    float key;
    int32_t index;
};

// A range's greatest key, when known, and how many of its elements hold it.
struct Top {
    float key = 0.0f;
    int count = 0; // 0: not known
};

// One partition step: the middle element is the pivot; the greater keys move before it, in the order
// they came, and it ends at the returned place. `equal` counts the other keys equal to the pivot's.
int partition(DepthEntry* e, int lo, int hi, int& equal) {
    std::swap(e[lo], e[lo + (hi - lo) / 2]);
    int last = lo;
    int same = 0;
    const float pivot = e[lo].key;
    for (int i = lo + 1; i <= hi; ++i) {
        // "If greater, move it behind the last greater one", written without a branch: both places
        // are stored every time, which keeps the order of the plain version exactly.
        const uint64_t x = std::bit_cast<uint64_t>(e[i]);
        const int to = last + 1;
        const uint64_t y = std::bit_cast<uint64_t>(e[to]);
        const float key = e[i].key;
        const uint64_t greater = 0 - uint64_t(key > pivot);
        same += int(key == pivot);
        e[to] = std::bit_cast<DepthEntry>((x & greater) | (y & ~greater));
        e[i] = std::bit_cast<DepthEntry>((y & greater) | (x & ~greater));
        last += int(greater & 1);
    }
    std::swap(e[lo], e[last]);
    equal = same;
    return last;
}

// A range whose keys all differ has one descending order, whatever sort makes it.
bool keysDiffer(const DepthEntry* e, int lo, int hi) {
    std::vector<float> keys;
    keys.reserve(size_t(hi - lo + 1));
    for (int i = lo; i <= hi; ++i) {
        if (std::isnan(e[i].key)) {
            return false; // a NaN key is neither greater nor smaller: its place depends on the partitions
        }
        keys.push_back(e[i].key);
    }
    std::sort(keys.begin(), keys.end());
    return std::adjacent_find(keys.begin(), keys.end()) == keys.end();
}

// The partitions are deep enough to be going wrong (a quicksort goes about 2 log2 n deep on average).
int depthLimit(int size) {
    return 2 * int(std::bit_width(unsigned(std::max(size, 1)))) + 8;
}

// `depth` counts the partitions above the range; past `limit` a range of different keys is sorted
// directly.
void quicksort(DepthEntry* e, int lo, int hi, Top top, int depth, int limit) {
    while (lo < hi) {
        const float pivot = e[lo + (hi - lo) / 2].key;
        // No key of the range is greater than the pivot (a NaN, or the range's greatest key): the
        // partition would only swap the pivot to the front.
        if (pivot != pivot || (top.count > 0 && pivot == top.key)) {
            std::swap(e[lo], e[lo + (hi - lo) / 2]);
            top.count -= pivot == pivot ? 1 : 0;
            ++lo;
            continue;
        }
        if (depth > limit) {
            if (keysDiffer(e, lo, hi)) {
                std::sort(e + lo, e + hi + 1,
                          [](const DepthEntry& a, const DepthEntry& b) { return a.key > b.key; });
                return;
            }
            depth = 0; // not again for this range before it has gone as deep once more
        }
        int equal = 0;
        const int last = partition(e, lo, hi, equal);
        ++depth;
        // The rest of a range where nothing passed the pivot: its greatest key, held `equal` times.
        const Top rest = last == lo ? Top{pivot, equal} : Top{};
        // The smaller side first, by recursion, the larger by the loop: the stack stays shallow. The two
        // sides are disjoint, so the order in which they are sorted does not change the result.
        if (last - lo < hi - last) {
            quicksort(e, lo, last - 1, Top{}, depth, limit);
            lo = last + 1;
            top = rest;
        } else {
            quicksort(e, last + 1, hi, rest, depth, limit);
            hi = last - 1;
            top = Top{};
        }
    }
}

// The same sort on two cores. A range split by a partition step leaves two disjoint ranges that are
// each sorted exactly as the plain version sorts them; splitting the largest range a few times and
// sharing the pieces out by size gives the same order (of equal keys too) in about half the time.
void quicksortOnTwoCores(DepthEntry* e, int lo, int hi) {
    constexpr int WORTH_A_THREAD = 20000;
    if (hi - lo < WORTH_A_THREAD || std::thread::hardware_concurrency() < 2) {
        quicksort(e, lo, hi, Top{}, 0, depthLimit(hi - lo + 1));
        return;
    }
    struct Piece {
        int from;
        int to;
        Top top;
        int size() const { return to - from + 1; }
    };
    std::vector<Piece> pieces{{lo, hi, Top{}}};
    std::vector<Piece> settled; // pieces that splitting would only shorten by one
    // A few partitions at most: one that splits off nothing (a quadratic input) is left to the sort.
    for (int tries = 0; tries < 16 && pieces.size() + settled.size() < 8 && !pieces.empty(); ++tries) {
        auto largest = std::max_element(pieces.begin(), pieces.end(),
                                        [](const Piece& a, const Piece& b) { return a.size() < b.size(); });
        if (largest->size() < WORTH_A_THREAD) {
            break;
        }
        const Piece piece = *largest;
        pieces.erase(largest);
        const float pivot = e[piece.from + (piece.to - piece.from) / 2].key;
        if (pivot != pivot || (piece.top.count > 0 && pivot == piece.top.key)) {
            settled.push_back(piece); // the plain sort settles these pivots one by one, cheaply
            continue;
        }
        int equal = 0;
        const int last = partition(e, piece.from, piece.to, equal);
        const Top rest = last == piece.from ? Top{pivot, equal} : Top{};
        for (const Piece& side : {Piece{piece.from, last - 1, Top{}}, Piece{last + 1, piece.to, rest}}) {
            if (side.from < side.to) {
                pieces.push_back(side);
            }
        }
    }
    pieces.insert(pieces.end(), settled.begin(), settled.end());
    // The largest first, each to the core with less to do.
    std::sort(pieces.begin(), pieces.end(),
              [](const Piece& a, const Piece& b) { return a.size() > b.size(); });
    std::vector<Piece> mine, theirs;
    int64_t myLoad = 0, theirLoad = 0;
    for (const Piece& piece : pieces) {
        (myLoad <= theirLoad ? mine : theirs).push_back(piece);
        (myLoad <= theirLoad ? myLoad : theirLoad) += piece.size();
    }
    const int limit = depthLimit(hi - lo + 1);
    auto sortAll = [e, limit](const std::vector<Piece>& list) {
        for (const Piece& piece : list) {
            quicksort(e, piece.from, piece.to, piece.top, 0, limit);
        }
    };
    std::thread other;
    try {
        other = std::thread(sortAll, std::cref(theirs));
    } catch (const std::system_error&) {
        sortAll(theirs); // no thread to be had: one after the other
    }
    sortAll(mine);
    if (other.joinable()) {
        other.join();
    }
}

} // namespace

void depthSort(float* keys, int32_t* indices, int lo, int hi) {
    if (lo >= hi) {
        return;
    }
    std::vector<DepthEntry> entries(size_t(hi - lo + 1));
    for (int i = lo; i <= hi; ++i) {
        entries[size_t(i - lo)] = {keys[i], indices[i]};
    }
    quicksortOnTwoCores(entries.data(), 0, hi - lo);
    for (int i = lo; i <= hi; ++i) {
        keys[i] = entries[size_t(i - lo)].key;
        indices[i] = entries[size_t(i - lo)].index;
    }
}

} // namespace faceto
