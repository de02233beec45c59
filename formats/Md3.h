#pragma once

#include "formats/Result.h"
#include "formats/SaveOutput.h"
#include "model/Model.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace faceto {

// Quake III models: "IDP3", version 15. Surfaces, each with its shaders, vertices (a skin coordinate
// each), triangles and per-frame positions in 64ths of a unit with a packed normal; frames with bounds,
// origin, radius and name; tags (named attachment points) with an origin and axes per frame.
namespace md3 {
constexpr int32_t VERSION = 15;
constexpr size_t HEADER_SIZE = 108;
constexpr size_t FRAME_SIZE = 56;
constexpr size_t TAG_SIZE = 112;
constexpr size_t SURFACE_HEADER_SIZE = 108;
constexpr size_t SHADER_SIZE = 68;
constexpr size_t TRIANGLE_SIZE = 12;
constexpr size_t ST_SIZE = 8;
constexpr size_t VERTEX_SIZE = 8;
constexpr size_t NAME_SIZE = 64;
constexpr size_t FRAME_NAME_SIZE = 16;
constexpr float POSITION_STEP = 1.0f / 64.0f;
// What the engine draws: more is reported when writing, not refused.
constexpr int32_t MAX_SURFACES = 32;
constexpr int32_t MAX_FRAMES = 1024;
constexpr int32_t MAX_VERTICES = 4096;  // of one surface
constexpr int32_t MAX_TRIANGLES = 8192; // of one surface
constexpr int32_t MAX_TAGS = 16;
} // namespace md3

// Finds a picture a model names beside it (its relative name); fails when there is none.
using PictureFinder = std::function<Result<ByteBuffer>(const std::string& name)>;

// Reads a Quake III model. The surfaces become groups named after them (triangle groups in surface
// order), their vertices follow one another; each surface's first shader names its skin, looked for by
// `find` under that name and under its last component, with the extension as stored and then as .tga,
// .jpg and .png (as the game swaps them). A skin that is not found is reported in the warnings. A file
// whose counts, offsets or indices its bytes do not back, that has no frame, or that passes the limits of
// a load fails with the reason.
Result<ModelData> parseMd3(std::span<const uint8_t> bytes, const PictureFinder& find);

// Writes a Quake III model: one surface per group with triangles (a vertex that two surfaces share, or
// that its corners give different skin coordinates, becomes one vertex per use), positions rounded to
// 64ths of a unit, normals packed from the frame's vertex normals, each frame's bounds, origin and radius
// computed, tags from the frames. What a file read kept (`source.md3`, the frames' packing) is written
// back while the mesh and positions are unchanged, so an unedited model gives the bytes it was read
// from. Counts past what the engine draws are reported in the notices.
Result<SaveOutput> encodeMd3(const Model& model, const std::vector<Frame>& frames, const SourceFields& source,
                             const std::string& path);

} // namespace faceto
