#pragma once

#include "formats/BulkAllocator.h"
#include "model/Model.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace faceto {

// Of the vertex count and the triangles' corners, which a frame's normals depend on; with
// `skinCoordinates` also of the corners' skin coordinates, which a file's mesh sections describe.
uint64_t meshDigest(const Model& model, bool skinCoordinates);

// Of the x, y and z bytes of packed vertices, `stride` bytes apart (4 in a file, with the normal index;
// 3 as `packOnGrid` leaves them), made the way `kind` names (FramePacking::digestKind): 1 one vertex
// after the other, 2 (what the readers make now) in four lanes of every fourth vertex, joined at the
// end, a quarter of the dependent steps.
uint64_t packedDigest(std::span<const uint8_t> packed, size_t stride, uint8_t kind = 2);

// What a reader keeps of a frame it decodes from `packed` (4 bytes a vertex: x, y, z, normal index) on
// the grid `scale`, `translate`, over a mesh of digest `mesh` (`meshDigest(model, false)`): `nameField`
// is the frame's 16-byte name field as stored. The frame's positions are decoded into `positions`
// (byte x scale + translate, in float) in the same pass over `packed`.
std::shared_ptr<const FramePacking> decodeKeepingPacking(std::span<const uint8_t> packed,
                                                         const float (&scale)[3], const float (&translate)[3],
                                                         uint64_t mesh, std::span<const uint8_t> nameField,
                                                         std::optional<std::array<uint8_t, 8>> bounds,
                                                         Positions& positions);

// The name field of a frame as a writer stores it, `length` bytes: the one read while the frame keeps
// the name it holds, else `name` padded with zero bytes.
void writeNameField(std::vector<uint8_t, BulkAllocator<uint8_t>>& out, const Frame& frame,
                    const std::string& name, size_t length);

// The x, y, z bytes (3 a vertex) that decode, as the readers decode them (byte x scale + translate in
// float), to exactly the frame's positions. False when a position does not lie on the grid, or the
// frame has not one position per vertex.
bool packOnGrid(const Positions& positions, size_t vertexCount, const std::array<float, 3>& scale,
                const std::array<float, 3>& translate, std::vector<uint8_t>& xyz);

// A value packed onto a grid step by rounding to the nearest step, kept within 0..255 (NaN packs to 0).
inline uint8_t nearestStep(float steps) {
    // Only values of 0.5 and more are rounded here, where adding a half and truncating is right.
    // NOLINTNEXTLINE(bugprone-incorrect-roundings)
    return steps >= 254.5f ? 255 : steps >= 0.5f ? uint8_t(steps + 0.5f) : 0;
}

} // namespace faceto
