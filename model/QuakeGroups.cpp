#include "model/QuakeGroups.h"

#include <algorithm>
#include <cmath>

namespace faceto {

namespace {

int32_t entrySize(const QuakeFields::Group& g) {
    return g.grouped ? std::max(g.count, 0) : 1;
}

} // namespace

int64_t membersIn(const QuakeGroups& groups) {
    int64_t n = 0;
    for (const QuakeFields::Group& g : groups) {
        n += std::max(g.count, 0);
    }
    return n;
}

QuakeGroups entriesFor(const QuakeGroups& groups, size_t count) {
    return membersIn(groups) == int64_t(count) ? groups : QuakeGroups(count);
}

bool holdsGroups(const QuakeGroups& groups, size_t count) {
    return membersIn(groups) == int64_t(count) &&
           std::any_of(groups.begin(), groups.end(), [](const QuakeFields::Group& g) { return g.grouped; });
}

std::optional<GroupPlace> placeOf(const QuakeGroups& groups, int32_t item) {
    int32_t first = 0;
    for (size_t e = 0; e < groups.size(); ++e) {
        const int32_t size = std::max(groups[e].count, 0);
        if (item >= first && item < first + size) {
            return GroupPlace{e, first, item - first};
        }
        first += size;
    }
    return std::nullopt;
}

bool validIntervals(const std::vector<float>& intervals) {
    float last = 0.0f;
    for (float v : intervals) {
        if (!std::isfinite(v) || v <= last) {
            return false;
        }
        last = v;
    }
    return !intervals.empty();
}

std::vector<float> evenIntervals(int32_t count) {
    std::vector<float> out;
    out.reserve(size_t(std::max(count, 0)));
    for (int32_t k = 0; k < count; ++k) {
        out.push_back(0.1f * float(k + 1));
    }
    return out;
}

int32_t memberAt(const QuakeFields::Group& group, double seconds) {
    const int32_t count = std::max(group.count, 1);
    if (!group.grouped || group.intervals.empty()) {
        return 0;
    }
    const double whole = group.intervals.back();
    if (!(whole > 0.0) || !std::isfinite(seconds)) {
        return 0;
    }
    const double t = seconds - std::floor(seconds / whole) * whole;
    int32_t k = 0;
    while (k < count - 1 && size_t(k) < group.intervals.size() && double(group.intervals[size_t(k)]) <= t) {
        ++k;
    }
    return k;
}

double memberDuration(const QuakeFields::Group& group, int32_t member) {
    if (member < 0 || size_t(member) >= group.intervals.size()) {
        return 0.1;
    }
    const double end = group.intervals[size_t(member)];
    const double start = member > 0 ? double(group.intervals[size_t(member - 1)]) : 0.0;
    return std::max(end - start, 0.0);
}

QuakeGroups groupsAfterEdit(const QuakeGroups& before, const std::vector<int32_t>& origins) {
    // Where each item of before went.
    std::vector<int32_t> placeAfter(size_t(std::max<int64_t>(membersIn(before), 0)), -1);
    for (size_t i = 0; i < origins.size(); ++i) {
        if (origins[i] >= 0 && size_t(origins[i]) < placeAfter.size()) {
            placeAfter[size_t(origins[i])] = int32_t(i);
        }
    }
    // The groups that hold together, by the place of their first remaining member.
    std::vector<std::optional<QuakeFields::Group>> startingAt(origins.size());
    int32_t first = 0;
    for (const QuakeFields::Group& g : before) {
        const int32_t size = std::max(g.count, 0);
        if (g.grouped) {
            QuakeFields::Group kept{true, 0, {}, g.bounds};
            int32_t at = -1;
            bool together = true;
            float shift = 0.0f; // the time of the members left out before the one kept
            float lastEnd = 0.0f;
            for (int32_t k = 0; k < size; ++k) {
                const int32_t place = placeAfter[size_t(first + k)];
                const float end =
                    size_t(k) < g.intervals.size() ? g.intervals[size_t(k)] : 0.1f * float(k + 1);
                if (place < 0) {
                    shift += end - lastEnd;
                    lastEnd = end;
                    kept.bounds.reset();
                    continue;
                }
                together = together && (at < 0 || place == at + kept.count);
                at = at < 0 ? place : at;
                kept.intervals.push_back(end - shift);
                lastEnd = end;
                ++kept.count;
            }
            if (together && kept.count > 0) {
                startingAt[size_t(at)] = std::move(kept);
            }
        }
        first += size;
    }
    QuakeGroups after;
    for (size_t i = 0; i < origins.size();) {
        if (startingAt[i]) {
            const int32_t n = startingAt[i]->count;
            after.push_back(std::move(*startingAt[i]));
            i += size_t(n);
        } else {
            after.push_back(QuakeFields::Group{});
            ++i;
        }
    }
    return after;
}

std::optional<QuakeGroups> grouped(const QuakeGroups& before, size_t itemCount, int32_t first, int32_t count,
                                   const std::vector<float>& intervals) {
    if (first < 0 || count < 2 || int64_t(first) + count > int64_t(itemCount) ||
        intervals.size() != size_t(count) || !validIntervals(intervals)) {
        return std::nullopt;
    }
    const QuakeGroups entries = entriesFor(before, itemCount);
    QuakeGroups after;
    int32_t item = 0;
    bool placed = false;
    for (const QuakeFields::Group& g : entries) {
        const int32_t size = entrySize(g);
        const bool inside = item >= first && item + size <= first + count;
        const bool outside = item + size <= first || item >= first + count;
        if (!inside && !outside) {
            return std::nullopt; // the run cuts through this group
        }
        if (outside) {
            after.push_back(g);
        } else if (!placed) {
            after.push_back(QuakeFields::Group{true, count, intervals, std::nullopt});
            placed = true;
        }
        item += size;
    }
    return after;
}

std::optional<QuakeGroups> ungrouped(const QuakeGroups& before, size_t itemCount, int32_t item) {
    if (!holdsGroups(before, itemCount)) {
        return std::nullopt;
    }
    const std::optional<GroupPlace> place = placeOf(before, item);
    if (!place || !before[place->entry].grouped) {
        return std::nullopt;
    }
    QuakeGroups after(before.begin(), before.begin() + std::ptrdiff_t(place->entry));
    after.insert(after.end(), size_t(std::max(before[place->entry].count, 0)), QuakeFields::Group{});
    after.insert(after.end(), before.begin() + std::ptrdiff_t(place->entry) + 1, before.end());
    return after;
}

} // namespace faceto
