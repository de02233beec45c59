#pragma once

#include "formats/ByteWriter.h"
#include "model/Model.h"

#include <optional>
#include <span>
#include <string>

namespace faceto {

// What a Quake model keeps of its header and groups, in a native file ("QUAK"): the eye, the sync type,
// the flags, the skin and frame groups with their intervals, the frame names as read, the radius and
// size. And the skin names a Quake 2 model stores ("SKNM").
ByteBuffer encodeQuakeFields(const QuakeFields& quake);
ByteBuffer encodeSkinNames(const std::vector<std::string>& names);

// How each frame was packed by the file it came from ("PACK": the grid, normals, bounds, name field and
// digests), and the mesh sections a Quake or Quake 2 file keeps ("KEPT"): with them a model saved back
// after a trip through a native file keeps the bytes its tool gave it.
ByteBuffer encodeFramePackings(const std::vector<Frame>& frames);
ByteBuffer encodeKeptMesh(const KeptMesh& kept);

// Each fails with the reason when the chunk does not hold what it should.
std::optional<std::string> decodeFramePackings(std::span<const uint8_t> chunk, std::vector<Frame>& frames,
                                               size_t vertexCount);
std::optional<std::string> decodeKeptMesh(std::span<const uint8_t> chunk, SourceFields& source);
std::optional<std::string> decodeQuakeFields(std::span<const uint8_t> chunk, SourceFields& source);
std::optional<std::string> decodeSkinNames(std::span<const uint8_t> chunk, SourceFields& source);

} // namespace faceto
