#pragma once

#include "model/Model.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace faceto {

// The skin groups and frame groups of a Quake model: a list of entries, each one skin (or frame) on its
// own or a group of consecutive ones that the engine cycles through, each member shown until its
// interval (seconds from the group's start, increasing), the whole group round again after the last.
using QuakeGroups = std::vector<QuakeFields::Group>;

// How many skins or frames the entries hold.
int64_t membersIn(const QuakeGroups& groups);
// The entries while they describe exactly `count` items, else `count` single items (items added or
// removed behind the groups' back).
QuakeGroups entriesFor(const QuakeGroups& groups, size_t count);
// Whether the entries describe exactly `count` items and at least one entry is a group.
bool holdsGroups(const QuakeGroups& groups, size_t count);

// Where item `item` lies: the index of its entry, the entry's first item and the item's place in it.
struct GroupPlace {
    size_t entry = 0;
    int32_t first = 0;
    int32_t member = 0;
};
std::optional<GroupPlace> placeOf(const QuakeGroups& groups, int32_t item);

// Whether intervals may be a group's: at least one, each positive and larger than the one before.
bool validIntervals(const std::vector<float>& intervals);
// The usual intervals of a group of `count`: a tenth of a second each.
std::vector<float> evenIntervals(int32_t count);

// The member a group shows `seconds` after it began, as the engines choose it: the time is taken round
// the group's whole length, and the first member whose interval lies past it is shown.
int32_t memberAt(const QuakeFields::Group& group, double seconds);
// How long member `member` of the group shows.
double memberDuration(const QuakeFields::Group& group, int32_t member);

// The entries after the items were reshaped: item i afterwards was item `origins[i]` before (-1: new).
// A group keeps the members that are still there while they still follow each other in their order,
// with their intervals; a group whose remaining members were moved apart or had items put between them
// falls apart into single items, and so does every item that came from nowhere.
QuakeGroups groupsAfterEdit(const QuakeGroups& before, const std::vector<int32_t>& origins);

// The entries with items `first` to `first + count - 1` as one group with those intervals (a group
// wholly inside the run is taken into it); nullopt when the run is outside the items, shorter than two,
// cuts through another group, or the intervals are not `count` valid ones. `before` may be empty or not
// describe `itemCount` items: then every item is taken to stand on its own.
std::optional<QuakeGroups> grouped(const QuakeGroups& before, size_t itemCount, int32_t first, int32_t count,
                                   const std::vector<float>& intervals);
// The entries with the group holding `item` broken into single items; nullopt when it is in none.
std::optional<QuakeGroups> ungrouped(const QuakeGroups& before, size_t itemCount, int32_t item);

} // namespace faceto
