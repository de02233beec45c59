#pragma once

#include "formats/Result.h"
#include "formats/SaveOutput.h"
#include "model/Model.h"
#include "model/Palette.h"

#include <cstdint>
#include <string>
#include <vector>

namespace faceto {

// The skin coordinates of a Quake model: one (s, t) per vertex, and an on-seam flag that moves s by half
// the skin's width on the triangles that do not face front. `vertexOf` names the model vertex each
// written vertex copies (a model vertex whose corners need more coordinates than that rule gives is
// split into several); `facesFront` is each triangle's flag and `corners` its three written vertices.
struct MdlTexCoords {
    struct Vertex {
        int32_t onSeam = 0; // 0 or 32
        int32_t s = 0;
        int32_t t = 0;
    };
    std::vector<Vertex> vertices;
    std::vector<int32_t> vertexOf;
    std::vector<int32_t> facesFront;
    std::vector<std::array<int32_t, 3>> corners;
    int32_t split() const { return int32_t(vertices.size()) - modelVertices; }
    int32_t modelVertices = 0;
};
MdlTexCoords mdlTexCoords(const Model& model, int32_t skinWidth);

// A skin as Quake draws it: `gamePaletteIndices` in the Quake palette, `width` by `height` with the width
// padded to a multiple of 4.
std::vector<uint8_t> quakeSkinPixels(const Skin& skin, const RgbPalette& quake, int32_t width,
                                     int32_t height);
int32_t paddedSkinWidth(int32_t width);

// The engines' limits that a model may pass: the file is written, with a warning.
constexpr int32_t MDL_ENGINE_VERTICES = 1024;
constexpr int32_t MDL_ENGINE_TRIANGLES = 2048;

// The whole .mdl (version 6) for the model, and what the user should know about it (vertices split on a
// seam, limits of the original engine passed). Fails only for what the format cannot hold.
struct MdlOutput {
    ByteBuffer bytes;
    std::vector<std::string> notices;
};
Result<MdlOutput> encodeMdl(const Model& model, const std::vector<Frame>& frames, const SourceFields& source,
                            const RgbPalette& quakePalette);

} // namespace faceto
