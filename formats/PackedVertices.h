#pragma once

#include "model/Model.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace faceto {

// Decodes the 4-byte packed vertices of Quake and Quake 2 frames: coordinate = byte x scale + translate,
// in float; the fourth byte (a normal index) is not used. Each of the 256 byte values is decoded once
// per axis, which gives the same floats as decoding every vertex on its own.
inline void decodePackedVertices(std::span<const uint8_t> packed, const float (&scale)[3],
                                 const float (&translate)[3], Positions& positions) {
    std::array<std::array<float, 256>, 3> value;
    for (size_t a = 0; a < 3; ++a) {
        for (int b = 0; b < 256; ++b) {
            value[a][size_t(b)] = float(b) * scale[a] + translate[a];
        }
    }
    // Appended one by one into room made once: the positions are written once, not zeroed first.
    const size_t count = packed.size() / 4;
    positions.clear();
    positions.reserve(count);
    for (size_t v = 0; v < count; ++v) {
        const uint8_t* p = &packed[v * 4];
        positions.push_back({value[0][p[0]], value[1][p[1]], value[2][p[2]]});
    }
}

} // namespace faceto
