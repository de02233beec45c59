#include "render/DepthSort.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define FACETO_WIDE_PARTITION 1
#endif

namespace faceto {

namespace {

// A range's greatest key, when known, and how many of its elements hold it.
struct Top {
    float key = 0.0f;
    int count = 0; // 0: not known
};

// One partition step, an element at a time: the middle element is the pivot; the greater keys move before it,
// in the order they came, and it ends at the returned place. `equal` counts the other keys equal to the
// pivot's.
int partitionOneByOne(DepthEntry* e, int lo, int hi, int& equal) {
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

#ifdef FACETO_WIDE_PARTITION

bool canPartitionWide() {
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    return avx2;
}

// The 32-bit lanes that gather, for each set of four entries marked by the bits of a mask, the marked
// ones to the front (packed) or the next ones of a stream into the marked places (spread).
struct LaneTables {
    alignas(32) int32_t packed[16][8] = {};
    alignas(32) int32_t spread[16][8] = {};
    constexpr LaneTables() {
        for (int m = 0; m < 16; ++m) {
            int next = 0;
            for (int j = 0; j < 4; ++j) {
                if ((m >> j) & 1) {
                    packed[m][2 * next] = 2 * j;
                    packed[m][2 * next + 1] = 2 * j + 1;
                    spread[m][2 * j] = 2 * next;
                    spread[m][2 * j + 1] = 2 * next + 1;
                    ++next;
                }
            }
        }
    }
};
constexpr LaneTables LANES;

// The same partition four entries at a time. Lomuto's loop leaves the greater keys behind the pivot in
// the order they came, and the others as a queue: each other element joins at its back, and each
// greater one met once the queue holds something moves its front element to its back. Written out on
// `tape`, every element after the first other one adds one entry: itself, or the queue's front element,
// so that four entries are made from four elements and the four front elements with two lane shuffles.
// The queue is the last `others` entries of the tape.
__attribute__((target("avx2"))) int partitionWide(DepthEntry* e, int lo, int hi, int& equal,
                                                  DepthEntry* tape) {
    std::swap(e[lo], e[lo + (hi - lo) / 2]);
    const float pivot = e[lo].key;
    int i = lo + 1;
    while (i <= hi && e[i].key > pivot) {
        ++i; // greater keys before any other each swap with themselves
    }
    int greaterEnd = i; // the greater keys so far are e[lo + 1 .. greaterEnd - 1]
    int back = 0;
    int front = 0;
    int same = 0;
    auto oneElement = [&](const DepthEntry& x) {
        if (x.key > pivot) {
            e[greaterEnd++] = x;
            tape[back++] = tape[front++];
        } else {
            same += int(x.key == pivot);
            tape[back++] = x;
        }
    };
    // Until the queue holds four, one by one: four front elements are read at a time.
    for (; i <= hi && back - front < 4; ++i) {
        oneElement(e[i]);
    }
    const __m256 pivots = _mm256_set1_ps(pivot);
    for (; i + 3 <= hi; i += 4) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(e + i));
        const __m256i greater =
            _mm256_castps_si256(_mm256_cmp_ps(_mm256_castsi256_ps(x), pivots, _CMP_GT_OQ));
        const __m256i equals = _mm256_castps_si256(_mm256_cmp_ps(_mm256_castsi256_ps(x), pivots, _CMP_EQ_OQ));
        // The key is an entry's low half: its comparison moved to the sign of the whole entry.
        const int marked = _mm256_movemask_pd(_mm256_castsi256_pd(_mm256_slli_epi64(greater, 32)));
        same +=
            std::popcount(unsigned(_mm256_movemask_pd(_mm256_castsi256_pd(_mm256_slli_epi64(equals, 32)))));
        const int moved = std::popcount(unsigned(marked));
        // The greater ones packed behind the others met so far; what is stored past them lies on
        // places already read.
        const __m256i packed = _mm256_permutevar8x32_epi32(
            x, _mm256_load_si256(reinterpret_cast<const __m256i*>(LANES.packed[marked])));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(e + greaterEnd), packed);
        greaterEnd += moved;
        const __m256i fronts = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(tape + front));
        const __m256i spread = _mm256_permutevar8x32_epi32(
            fronts, _mm256_load_si256(reinterpret_cast<const __m256i*>(LANES.spread[marked])));
        const __m256i whole = _mm256_shuffle_epi32(greater, 0xA0); // the key's mask over its entry
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(tape + back), _mm256_blendv_epi8(x, spread, whole));
        back += 4;
        front += moved;
    }
    for (; i <= hi; ++i) {
        oneElement(e[i]);
    }
    std::copy(tape + front, tape + back, e + greaterEnd);
    const int last = greaterEnd - 1;
    std::swap(e[lo], e[last]);
    equal = same;
    return last;
}

#endif

// Ranges shorter than this are partitioned one by one.
constexpr int WIDE_FROM = 16;

// Ranges of up to this many elements are partitioned by a table.
constexpr int SHORT_UP_TO = 8;

// Where Lomuto's loop leaves each element of a short range: for a range of `size` elements and the mask
// of those after the pivot that are greater (bit i - 1 for element i), the element each place ends
// with, the pivot (element 0) included.
struct ShortPartitions {
    uint8_t from[SHORT_UP_TO + 1][1 << (SHORT_UP_TO - 1)][SHORT_UP_TO] = {};
    constexpr ShortPartitions() {
        for (int size = 2; size <= SHORT_UP_TO; ++size) {
            for (int mask = 0; mask < 1 << (size - 1); ++mask) {
                uint8_t a[SHORT_UP_TO] = {};
                for (int i = 0; i < size; ++i) {
                    a[i] = uint8_t(i);
                }
                int last = 0;
                for (int i = 1; i < size; ++i) {
                    if ((mask >> (i - 1)) & 1) {
                        ++last;
                        std::swap(a[last], a[i]);
                    }
                }
                std::swap(a[0], a[last]);
                for (int i = 0; i < size; ++i) {
                    from[size][mask][i] = a[i];
                }
            }
        }
    }
};
constexpr ShortPartitions SHORT;

// The same partition of a range of at most SHORT_UP_TO elements: the comparisons first, then every
// element moved to where the loop would leave it.
int partitionShort(DepthEntry* e, int lo, int hi, int& equal) {
    std::swap(e[lo], e[lo + (hi - lo) / 2]);
    const float pivot = e[lo].key;
    const int size = hi - lo + 1;
    DepthEntry was[SHORT_UP_TO];
    unsigned mask = 0;
    int greater = 0;
    int same = 0;
    was[0] = e[lo];
    for (int i = 1; i < size; ++i) {
        was[i] = e[lo + i];
        const bool passes = was[i].key > pivot;
        mask |= unsigned(passes) << (i - 1);
        greater += int(passes);
        same += int(was[i].key == pivot);
    }
    const uint8_t* from = SHORT.from[size][mask];
    for (int i = 0; i < size; ++i) {
        e[lo + i] = was[from[i]];
    }
    equal = same;
    return lo + greater;
}

// One partition step: the middle element is the pivot; the greater keys move before it, in the order
// they came, and it ends at the returned place. `equal` counts the other keys equal to the pivot's.
// `tape` has room for the range.
int partition(DepthEntry* e, int lo, int hi, int& equal, DepthEntry* tape) {
#ifdef FACETO_WIDE_PARTITION
    if (hi - lo >= WIDE_FROM && canPartitionWide()) {
        return partitionWide(e, lo, hi, equal, tape);
    }
#endif
    (void)tape;
    if (hi - lo < SHORT_UP_TO) {
        return partitionShort(e, lo, hi, equal);
    }
    return partitionOneByOne(e, lo, hi, equal);
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
void quicksort(DepthEntry* e, int lo, int hi, Top top, int depth, int limit, DepthEntry* tape) {
    while (lo < hi) {
        if (hi == lo + 1) {
            // Two elements: the first is the pivot, and the second goes before it only if greater.
            if (e[hi].key > e[lo].key) {
                std::swap(e[lo], e[hi]);
            }
            return;
        }
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
        const int last = partition(e, lo, hi, equal, tape);
        ++depth;
        // The rest of a range where nothing passed the pivot: its greatest key, held `equal` times.
        const Top rest = last == lo ? Top{pivot, equal} : Top{};
        // The smaller side first, by recursion, the larger by the loop: the stack stays shallow. The two
        // sides are disjoint, so the order in which they are sorted does not change the result.
        if (last - lo < hi - last) {
            quicksort(e, lo, last - 1, Top{}, depth, limit, tape);
            lo = last + 1;
            top = rest;
        } else {
            quicksort(e, last + 1, hi, rest, depth, limit, tape);
            hi = last - 1;
            top = Top{};
        }
    }
}

// Ranges larger than this are shared out between two cores.
constexpr int WORTH_A_THREAD = 20000;

// A range still to sort, with its greatest key when known.
struct Piece {
    int from;
    int to;
    Top top;
    int size() const { return to - from + 1; }
};

// Disjoint ranges sorted on two cores. A range split by a partition step leaves two disjoint ranges
// that are each sorted exactly as the plain version sorts them; splitting the largest range a few times
// and sharing the pieces out by size gives the same order (of equal keys too) in about half the time.
// `tapes` has room for two copies of `span` elements (the largest piece at least), one for each core.
void sortPiecesOnTwoCores(DepthEntry* e, std::vector<Piece> pieces, int limit, DepthEntry* tapes, int span) {
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
        const int last = partition(e, piece.from, piece.to, equal, tapes);
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
    auto sortAll = [e, limit](const std::vector<Piece>& list, DepthEntry* tape) {
        for (const Piece& piece : list) {
            quicksort(e, piece.from, piece.to, piece.top, 0, limit, tape);
        }
    };
    std::thread other;
    if (!theirs.empty()) {
        try {
            other = std::thread(sortAll, std::cref(theirs), tapes + span);
        } catch (const std::system_error&) {
            sortAll(theirs, tapes); // no thread to be had: one after the other
        }
    }
    sortAll(mine, tapes);
    if (other.joinable()) {
        other.join();
    }
}

// The same sort of one range, on two cores when it is large. `tapes` has room for two copies of the
// range.
void quicksortOnTwoCores(DepthEntry* e, int lo, int hi, DepthEntry* tapes) {
    if (hi - lo < WORTH_A_THREAD || std::thread::hardware_concurrency() < 2) {
        quicksort(e, lo, hi, Top{}, 0, depthLimit(hi - lo + 1), tapes);
        return;
    }
    sortPiecesOnTwoCores(e, {Piece{lo, hi, Top{}}}, depthLimit(hi - lo + 1), tapes, hi - lo + 1);
}

} // namespace

void depthSort(float* keys, int32_t* indices, int lo, int hi) {
    if (lo >= hi) {
        return;
    }
    const size_t n = size_t(hi - lo + 1);
    std::vector<DepthEntry> entries(n);
    for (int i = lo; i <= hi; ++i) {
        entries[size_t(i - lo)] = {keys[i], indices[i]};
    }
    // Room for a partition's queue, on each of two cores, kept for the next sort from this thread.
    thread_local std::vector<DepthEntry> tapes;
    if (tapes.size() < 2 * n) {
        tapes.resize(2 * n);
    }
    quicksortOnTwoCores(entries.data(), 0, hi - lo, tapes.data());
    for (int i = lo; i <= hi; ++i) {
        keys[i] = entries[size_t(i - lo)].key;
        indices[i] = entries[size_t(i - lo)].index;
    }
}

} // namespace faceto

namespace faceto {

namespace {

// A key that changed since the last sort: the place the last sort left its element in, the key it had
// then and the one it has now.
struct ChangedKey {
    int32_t place;
    float before;
    float after;
};

// The first of the changed keys (sorted by place) from `place` on.
const ChangedKey* firstFrom(const ChangedKey* changed, const ChangedKey* end, int place) {
    return std::lower_bound(changed, end, place, [](const ChangedKey& c, int at) { return c.place < at; });
}

// Sorting again after a few keys changed: `e` holds the elements with their new keys in the order the
// sort meets them, `place` where the last sort left each.
struct Resort {
    DepthEntry* e;
    const int32_t* place;
    DepthEntry* tapes; // two copies of the whole range, `span` elements each
    int span;
    std::vector<std::pair<int, int>>& redone; // the ranges of `e` that differ from the last result

    // The range as a whole sort of it sorts it, by the plain sort or, when large, on two cores.
    void sortRange(int lo, int hi, Top top) {
        if (lo >= hi) {
            return;
        }
        if (hi - lo >= WORTH_A_THREAD) {
            quicksortOnTwoCores(e, lo, hi, tapes);
        } else {
            quicksort(e, lo, hi, top, 0, depthLimit(hi - lo + 1), tapes);
        }
    }

    // Whether a key of lo..hi other than the pivot's (at `last`) and the changed ones lies between the
    // pivot's key before and now, in the sense of "greater": one that passed the pivot on one sort and
    // not on the other.
    bool unchangedKeyBetween(int lo, int hi, int last, float before, float now, const ChangedKey* changed,
                             const ChangedKey* end) const {
        int between = 0;
        for (int i = lo; i <= hi; ++i) {
            between += int((e[i].key > before) != (e[i].key > now));
        }
        between -= int((e[last].key > before) != (e[last].key > now));
        for (const ChangedKey* c = changed; c != end; ++c) {
            if (c->place != place[e[last].index]) {
                between -= int((c->after > before) != (c->after > now));
            }
        }
        return between > 0;
    }

    // One partition step of lo..hi as the plain sort makes it; returns the pivot's place, and the greatest
    // key of the range after it, when known, in `rest`.
    int partitionStep(int lo, int hi, Top top, Top& rest) {
        const int mid = lo + (hi - lo) / 2;
        const float pivot = e[mid].key;
        if (pivot != pivot || (top.count > 0 && pivot == top.key)) {
            std::swap(e[lo], e[mid]); // no key passes the pivot: it stays in front
            rest = {top.key, top.count - (pivot == pivot ? 1 : 0)};
            return lo;
        }
        int equal = 0;
        const int last = partition(e, lo, hi, equal, tapes);
        rest = last == lo ? Top{pivot, equal} : Top{};
        return last;
    }

    // The two sides of a partition step sorted whole, on two cores when they are large.
    void sortBothSides(int lo, int last, int hi, Top rest) {
        if (hi - lo >= WORTH_A_THREAD && std::thread::hardware_concurrency() >= 2) {
            std::vector<Piece> sides;
            for (const Piece& side : {Piece{lo, last - 1, Top{}}, Piece{last + 1, hi, rest}}) {
                if (side.from < side.to) {
                    sides.push_back(side);
                }
            }
            sortPiecesOnTwoCores(e, std::move(sides), depthLimit(hi - lo + 1), tapes, span);
        } else {
            sortRange(lo, last - 1, Top{});
            sortRange(last + 1, hi, rest);
        }
    }

    // Range lo..hi, whose elements came in the order they came last time (`same`) with the keys of
    // `changed` (sorted by place) changed; otherwise sorted whole.
    void walk(int lo, int hi, Top top, bool same, const ChangedKey* changed, const ChangedKey* end) {
        while (lo <= hi) {
            if (same && changed == end) {
                return; // the same elements in the same order with the same keys: as they ended last time
            }
            if (!same) {
                sortRange(lo, hi, top);
                redone.emplace_back(lo, hi);
                return;
            }
            if (lo == hi) {
                redone.emplace_back(lo, hi); // in its place, with its new key
                return;
            }
            const int mid = lo + (hi - lo) / 2;
            const float pivot = e[mid].key;
            const int32_t pivotPlace = place[e[mid].index];
            const ChangedKey* pivotEntry = firstFrom(changed, end, pivotPlace);
            const bool pivotChanged = pivotEntry != end && pivotEntry->place == pivotPlace;
            const float pivotBefore = pivotChanged ? pivotEntry->before : pivot;
            Top rest;
            const int last = partitionStep(lo, hi, top, rest);
            // Each side came in the order it came last time unless a key passed the pivot one way and not
            // the other: only a changed key can have, or, when the pivot's own key changed, a key
            // between the two.
            bool sidesSame =
                !pivotChanged || !unchangedKeyBetween(lo, hi, last, pivotBefore, pivot, changed, end);
            for (const ChangedKey* c = changed; sidesSame && c != end; ++c) {
                sidesSame =
                    (pivotChanged && c == pivotEntry) || (c->after > pivot) == (c->before > pivotBefore);
            }
            if (!sidesSame) {
                sortBothSides(lo, last, hi, rest);
                redone.emplace_back(lo, hi);
                return;
            }
            // The same sides: the pivot ends where it ended, and each changed key on its old side.
            const ChangedKey* split = firstFrom(changed, end, last);
            const ChangedKey* right = split;
            if (pivotChanged) {
                redone.emplace_back(last, last); // in its place, with its new key
                ++right;
            }
            if (last - lo < hi - last) {
                walk(lo, last - 1, Top{}, true, changed, split);
                lo = last + 1;
                top = rest;
                changed = right;
            } else {
                walk(last + 1, hi, rest, true, right, end);
                hi = last - 1;
                top = Top{};
                end = split;
            }
        }
    }
};

} // namespace

void DepthOrder::sortAll(const float* keys, int32_t count) {
    const size_t n = size_t(std::max(count, 0));
    sorted_.resize(n);
    for (size_t i = 0; i < n; ++i) {
        sorted_[i] = {keys[i], int32_t(i)};
    }
    if (tapes_.size() < 2 * n) {
        tapes_.resize(2 * n);
    }
    if (n > 1) {
        quicksortOnTwoCores(sorted_.data(), 0, int(n) - 1, tapes_.data());
    }
    place_.resize(n);
    for (size_t i = 0; i < n; ++i) {
        place_[size_t(sorted_[i].index)] = int32_t(i);
    }
}

void DepthOrder::sortAgain(const float* keys, int32_t count, std::span<const int32_t> changed) {
    if (count < 0 || size_t(count) != sorted_.size() || place_.size() != sorted_.size()) {
        sortAll(keys, count);
        return;
    }
    const size_t n = size_t(count);
    thread_local std::vector<ChangedKey> list;
    list.clear();
    for (const int32_t index : changed) {
        if (index < 0 || size_t(index) >= n) {
            continue;
        }
        const int32_t at = place_[size_t(index)];
        const float was = sorted_[size_t(at)].key;
        if (std::bit_cast<uint32_t>(was) != std::bit_cast<uint32_t>(keys[index])) {
            list.push_back({at, was, keys[index]});
        }
    }
    std::sort(list.begin(), list.end(),
              [](const ChangedKey& a, const ChangedKey& b) { return a.place < b.place; });
    list.erase(std::unique(list.begin(), list.end(),
                           [](const ChangedKey& a, const ChangedKey& b) { return a.place == b.place; }),
               list.end());
    if (list.empty()) {
        return;
    }
    if (list.size() > n / 8) {
        sortAll(keys, count); // too many to gain by
        return;
    }
    work_.resize(n);
    for (size_t i = 0; i < n; ++i) {
        work_[i] = {keys[i], int32_t(i)};
    }
    thread_local std::vector<std::pair<int, int>> redone;
    redone.clear();
    Resort resort{work_.data(), place_.data(), tapes_.data(), count, redone};
    resort.walk(0, count - 1, Top{}, true, list.data(), list.data() + list.size());
    if (redone.size() == 1 && redone[0] == std::pair<int, int>(0, count - 1)) {
        std::swap(sorted_, work_); // all sorted anew
        for (int i = 0; i < count; ++i) {
            place_[size_t(sorted_[size_t(i)].index)] = i;
        }
        return;
    }
    for (const auto& [lo, hi] : redone) {
        for (int i = lo; i <= hi; ++i) {
            sorted_[size_t(i)] = work_[size_t(i)];
            place_[size_t(work_[size_t(i)].index)] = i;
        }
    }
}

} // namespace faceto
