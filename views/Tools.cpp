#include "views/Tools.h"

#include <cmath>
#include <cstdlib>

namespace faceto {

int RotateTool::degrees(double pixelsRight, bool steps) {
    const auto whole = double(std::lround(pixelsRight));
    return int(steps ? std::lround(whole / 15.0) * 15 : std::lround(whole));
}

float ScaleTool::factor(int along, bool fine) {
    if (along == 0) {
        return 1.0f;
    }
    if (along > 0) {
        return fine ? 1.02f : 1.1f;
    }
    return fine ? 0.98f : 0.9f;
}

std::array<float, 2> ScaleTool::factors(int right, int up, bool alike, bool fine) {
    if (alike) {
        const float f = factor(std::abs(right) > std::abs(up) ? right : up, fine);
        return {f, f};
    }
    return {factor(right, fine), factor(up, fine)};
}

} // namespace faceto
