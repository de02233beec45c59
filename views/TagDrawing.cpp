#include "views/TagDrawing.h"

namespace faceto {

namespace {

constexpr uint32_t TAG_AXIS_RGB[3] = {0x0000FF, 0x00FF00, 0xFF0000}; // red in the low byte
constexpr uint32_t TAG_NAME_RGB = 0x800080;

} // namespace

void drawTags(Rasterizer& r, const Model& model, const Frame& frame,
              const std::function<float(const FrameVertex&)>& unitsPerPixel,
              const std::function<std::optional<Pixel>(const FrameVertex&)>& toWindow) {
    for (size_t t = 0; t < model.tagNames.size() && t < frame.tags.size(); ++t) {
        const TagPlacement& p = frame.tags[t];
        const FrameVertex origin{p.origin[0], p.origin[1], p.origin[2]};
        const std::optional<Pixel> at = toWindow(origin);
        if (!at) {
            continue;
        }
        const float length = TAG_AXIS_PIXELS * unitsPerPixel(origin);
        for (size_t a = 0; a < 3; ++a) {
            const auto& axis = p.axes[a];
            const std::optional<Pixel> end = toWindow(
                {origin.x + axis[0] * length, origin.y + axis[1] * length, origin.z + axis[2] * length});
            if (end) {
                r.overlayLine(*at, *end, TAG_AXIS_RGB[a], 1, false);
            }
        }
        r.overlayText({at->x + 4, at->y + 2}, model.tagNames[t], TAG_NAME_RGB);
    }
}

} // namespace faceto
