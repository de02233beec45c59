#pragma once

#include <cstdint>

namespace faceto::md2 {

// Offsets and sizes of the Quake 2 model file. All numbers are little-endian.
constexpr int32_t VERSION = 8;
constexpr int32_t HEADER_SIZE = 68;
constexpr int32_t SKIN_NAME_SIZE = 64;
constexpr int32_t TEXCOORD_SIZE = 4;      // int16 s, t
constexpr int32_t TRIANGLE_SIZE = 12;     // int16 vertex x3, int16 texture coordinate x3
constexpr int32_t FRAME_HEADER_SIZE = 40; // float32 scale x3, translate x3, 16-byte name
constexpr int32_t FRAME_NAME_SIZE = 16;
constexpr int32_t PACKED_VERTEX_SIZE = 4; // uint8 x, y, z, normal index
constexpr int32_t MAX_INDEX = 32767;      // vertex and texture coordinate indices are int16

namespace header {
constexpr int SKIN_WIDTH = 8;
constexpr int SKIN_HEIGHT = 12;
constexpr int FRAME_SIZE = 16;
constexpr int SKIN_COUNT = 20;
constexpr int VERTEX_COUNT = 24;
constexpr int TEXCOORD_COUNT = 28;
constexpr int TRIANGLE_COUNT = 32;
constexpr int GLCMD_COUNT = 36;
constexpr int FRAME_COUNT = 40;
constexpr int SKINS_OFFSET = 44;
constexpr int TEXCOORDS_OFFSET = 48;
constexpr int TRIANGLES_OFFSET = 52;
constexpr int FRAMES_OFFSET = 56;
constexpr int GLCMDS_OFFSET = 60;
constexpr int END_OFFSET = 64;
} // namespace header

} // namespace faceto::md2
