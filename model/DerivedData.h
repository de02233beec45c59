#pragma once

#include "model/Model.h"

#include <string>
#include <string_view>
#include <vector>

namespace faceto {

// Rebuilds `model.edges`: one edge per distinct vertex pair, in the order the triangles first
// meet them (corner pairs 0-1, 1-2, 2-0), oriented and coloured as in that first triangle.
void buildEdges(Model& model);

// Rebuilds `model.groups` from the connectivity of the triangles and sets every triangle's `group`
// and `color`. The labelling runs vertex by vertex with no final merging pass, so two triangles
// that share a vertex can still end in different groups (triangles (0,5,6) then (1,2,6) do).
void buildGroupsByConnectivity(Model& model);

// The animation a frame belongs to: its name up to the first digit, keeping that digit when the
// number there is 100 or more ("stand05" -> "stand", "walk101" -> "walk1", "base" -> "").
std::string animationBaseName(std::string_view frameName);

// The animations named after the frames' base names, in order of first appearance; names are
// matched without regard to case.
std::vector<Animation> buildAnimations(const std::vector<Frame>& frames);
std::vector<Animation> buildAnimations(const std::vector<std::string>& frameNames);

// The text without leading and trailing white space (settings are read this way).
std::string trimmed(std::string_view text);

// ASCII case-insensitive comparison, as the editor compares frame and animation names.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

} // namespace faceto
