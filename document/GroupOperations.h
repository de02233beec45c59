#pragma once

#include "model/QuakeGroups.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace faceto {

class CFacetoDoc;

// The skin groups and frame groups of a Quake model: pictures the engine cycles through as one animated
// skin, and frames it plays as one frame of an animation, each member for its interval. Grouping and
// ungrouping are one step each; skins and frames added, removed or moved afterwards keep their groups
// where their members still follow each other.

// The skin (frame) entries of the document: its groups while they hold its skins (frames), else each
// skin (frame) on its own.
QuakeGroups skinGroupsOf(const CFacetoDoc& doc);
QuakeGroups frameGroupsOf(const CFacetoDoc& doc);
// Whether skin (frame) `index` belongs to a group.
bool skinInGroup(const CFacetoDoc& doc, int32_t index);
bool frameInGroup(const CFacetoDoc& doc, int32_t index);

// Makes skins `first` to `first + intervals.size() - 1` one group, each shown until its interval
// (seconds from the group's start). Empty when done, else why not: fewer than two skins, skins of
// different sizes, intervals that are not positive and increasing, a run that cuts through a group.
std::string groupSkins(CFacetoDoc& doc, int32_t first, const std::vector<float>& intervals);
// Breaks the group of skin `skin` into single skins; false when it is in none.
bool ungroupSkins(CFacetoDoc& doc, int32_t skin);
// The same for frames: a run of frames of the frame list becomes one frame group.
std::string groupFrames(CFacetoDoc& doc, int32_t first, const std::vector<float>& intervals);
bool ungroupFrames(CFacetoDoc& doc, int32_t frame);

// The skin the textured views paint `seconds` into the play of skin groups: the current skin, or when
// it belongs to a group, the member of its group that shows then (negative `seconds`: no group plays,
// the current skin).
int32_t skinShownAt(const CFacetoDoc& doc, double seconds);
// The skin the textured views paint now (at the document's skin play time).
int32_t playedSkin(const CFacetoDoc& doc);
// When the picture the textured views show changes next after `seconds` (none: negative), while the
// current skin belongs to a group.
double nextSkinChange(const CFacetoDoc& doc, double seconds);
// How long frame `frame` shows in its frame group; none when it is in no group.
std::optional<double> frameDuration(const CFacetoDoc& doc, int32_t frame);

} // namespace faceto
