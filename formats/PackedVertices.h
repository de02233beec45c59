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
class PackedDecoding {
public:
    PackedDecoding(const float (&scale)[3], const float (&translate)[3]) {
        for (size_t a = 0; a < 3; ++a) {
            for (int b = 0; b < 256; ++b) {
                value_[a][size_t(b)] = float(b) * scale[a] + translate[a];
            }
        }
    }
    FrameVertex operator()(const uint8_t* packed) const {
        return {value_[0][packed[0]], value_[1][packed[1]], value_[2][packed[2]]};
    }

private:
    std::array<std::array<float, 256>, 3> value_;
};

} // namespace faceto
