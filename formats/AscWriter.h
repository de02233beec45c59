#pragma once

#include "formats/FileIO.h"
#include "model/Model.h"

#include <optional>
#include <string>
#include <vector>

namespace faceto {

// The first frame's mesh as a 3D Studio ASCII scene: one object "Object1", the model's (x, y, z) written
// as (y, -x, z), corners in the order 0, 2, 1, six decimals, CR LF line ends. Nothing without a frame.
std::optional<std::string> encodeAsc(const Model& model, const std::vector<Frame>& frames);
Status writeAsc(const std::string& path, const Model& model, const std::vector<Frame>& frames);

} // namespace faceto
