#pragma once

#include "model/Model.h"
#include "render/Rasterizer.h"

#include <array>
#include <functional>
#include <optional>

namespace faceto {

// Draws the tags (attachment points) of a frame into the open overlay of `r`: each as a cross of its three
// axes, `TAG_AXIS_PIXELS` long (x red, y green, z blue), with its name beside its origin. `toWindow` gives
// the window pixel of a point, or nothing where the view cannot show it (behind the camera);
// `unitsPerPixel` how many model units a pixel spans at a point.
constexpr float TAG_AXIS_PIXELS = 16.0f;
void drawTags(Rasterizer& r, const Model& model, const Frame& frame,
              const std::function<float(const FrameVertex&)>& unitsPerPixel,
              const std::function<std::optional<Pixel>(const FrameVertex&)>& toWindow);

} // namespace faceto
