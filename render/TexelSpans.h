#pragma once

#include <cstdint>

namespace faceto::texel_spans {

// A textured span's pixels eight at a time, where the processor gathers eight values in one step.
// Coordinates are fixed point with `fractionBits`, stepping once a pixel from `u`, `v` (and `light`);
// every texel the span reads, and the three bytes after it, must lie inside `texels` (and the light rows
// inside `colormap`), and the coordinates must not overflow. Each writes the first multiple of eight of
// the `count` pixels, exactly as stepping one by one would, and returns how many it wrote (0 where the
// processor cannot).
struct Span {
    uint8_t* row = nullptr;
    int32_t count = 0;
    int32_t u = 0;
    int32_t v = 0;
    int32_t stepU = 0;
    int32_t stepV = 0;
};
int32_t textured(const Span& span, const uint8_t* texels, int32_t stride, int fractionBits);
int32_t texturedShaded(const Span& span, int32_t light, int32_t stepLight, const uint8_t* texels,
                       int32_t stride, const uint8_t* colormap, int fractionBits);

} // namespace faceto::texel_spans
