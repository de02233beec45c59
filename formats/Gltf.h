#pragma once

#include "formats/FormatTable.h"
#include "formats/Result.h"
#include "formats/SaveOutput.h"

#include <span>
#include <string>

namespace faceto {

// The model as glTF 2.0: one mesh whose base shape is the first frame and whose morph targets are the
// frames; one animation of the morph weights per animation of the model, a key per frame at 10 frames
// a second; the current skin as a PNG texture. Axes turn from Quake's (x forward, y left, z up) to
// glTF's (+z forward, +x left, +y up). A path ending in ".glb" gives one binary file; otherwise the
// .gltf names a .bin and a .png beside it, which are written with it.
Result<SaveOutput> exportGltf(const ModelRef& model, const std::string& path, const WriteContext& context);

// A glTF 2.0 file (.gltf, with its buffers and pictures beside it through `context.readBeside`, or a
// .glb) as a model: every triangle primitive of the default scene merged, the first texture
// coordinates, the base colour picture as the skin. Morph targets and skins are animated by sampling
// every animation at `context.framesPerSecond` into frames named after it; without animations the
// rest shape (and each morph target) is a frame. Vertices that sit at the same place in every frame
// become one.
Result<ModelData> importGltf(std::span<const uint8_t> bytes, const ReadContext& context);

// The picture a glTF or OBJ export paints with (the skin shown, when it has one; null otherwise), and the
// size its skin coordinates are measured in: the picture's, else the skin size the source file gave,
// else 256 x 256.
struct ExportedSkin {
    const Skin* picture;
    float width;
    float height;
};
ExportedSkin exportedSkin(const ModelRef& model, const WriteContext& context);

// Every position times `scale` (the unit of a file of another tool in model units); 1 leaves them.
void scalePositions(std::vector<Frame>& frames, float scale);

} // namespace faceto
