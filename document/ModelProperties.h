#pragma once

#include "model/Model.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace faceto {

class CFacetoDoc;

// The effects a Quake model's flags ask of the engine, one a bit from the lowest, by the names that
// faceto-cli reads and prints.
inline constexpr std::array<std::string_view, 8> QUAKE_FLAG_NAMES{
    "rocket", "grenade", "gib", "rotate", "tracer", "zombie-gib", "tracer2", "tracer3"};
// How a Quake engine starts the animations of several copies of a model: all at once, or each at random.
inline constexpr std::array<std::string_view, 2> QUAKE_SYNC_NAMES{"sync", "random"};

// The fields of a model besides its mesh, frames and skins that its file keeps: a Quake model's eye
// position, sync type and flags; the skin names a Quake 2 model stores.
struct ModelProperties {
    std::array<float, 3> eye{0, 0, 24};
    int32_t syncType = 0;
    int32_t flags = 0;
    std::vector<std::string> skinNames;

    bool operator==(const ModelProperties&) const = default;
};

ModelProperties propertiesOf(const CFacetoDoc& doc);
// One undo step, "Model Properties"; false when nothing would change. A model that came from no Quake
// file takes the Quake fields from here on (an .mdl written from it uses them).
bool setModelProperties(CFacetoDoc& doc, const ModelProperties& properties);

// "rotate,rocket" or a number: the flags it names; nullopt for a name that is none.
std::optional<int32_t> parseQuakeFlags(std::string_view text);
// The names of the flags set, in the order of their bits ("rocket, rotate"); the bits without a name as
// a number.
std::vector<std::string> quakeFlagNames(int32_t flags);

// What the original engines do not draw of a model as it is: each a sentence ("1200 vertices: Quake
// draws at most 1024"). The ones of the format the document saves in (Quake for .mdl, Quake 2 for .md2).
std::vector<std::string> engineLimitNotes(const CFacetoDoc& doc);

} // namespace faceto
