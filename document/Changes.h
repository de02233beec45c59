#pragma once

#include <cstdint>

namespace faceto {

// What a change of a document touched, for each view and panel to redraw or rebuild only what shows it.
namespace change {
inline constexpr uint32_t POSITIONS = 1u << 0;  // vertex positions (of ChangeNotice::frame, or of any frame)
inline constexpr uint32_t TOPOLOGY = 1u << 1;   // vertices, triangles, groups
inline constexpr uint32_t FRAMES = 1u << 2;     // the frame list, frame names, animations, the current frame
inline constexpr uint32_t SELECTION = 1u << 3;  // which vertices are selected
inline constexpr uint32_t VISIBILITY = 1u << 4; // which vertices and groups are hidden
inline constexpr uint32_t SKINS = 1u << 5;      // the pictures, skin coordinates, the skin shown
inline constexpr uint32_t HISTORY = 1u << 6;    // the undo history: a step added, undone or redone
inline constexpr uint32_t FILE = 1u << 7;       // the file name, or whether the document is modified
inline constexpr uint32_t VIEW = 1u << 8;       // how the document is shown: modes, zoom, grid, locks
inline constexpr uint32_t SKIN_PLAY = 1u << 9;  // the picture a playing skin group shows now
inline constexpr uint32_t EVERYTHING = (1u << 10) - 1;
} // namespace change

struct ChangeNotice {
    uint32_t what = change::EVERYTHING;
    int32_t frame = -1; // with POSITIONS alone: the one frame whose positions changed (-1: any)

    bool touches(uint32_t mask) const { return (what & mask) != 0; }
    // Only the positions of one frame other than `shown` changed: a view of `shown` need not redraw.
    bool onlyPositionsOfAnotherFrame(int32_t shown) const {
        return what == change::POSITIONS && frame >= 0 && frame != shown;
    }
};

} // namespace faceto
