#pragma once

#include "model/Texts.h"

#include <array>
#include <string>

namespace faceto {

class CFacetoDoc;

// A change of the whole model, every frame alike: scaled, then turned about x, y and z (degrees, in
// that order), then moved, about the origin or about the centre of the model's bounds over all frames.
struct ModelTransform {
    std::array<float, 3> scale{1, 1, 1};
    std::array<float, 3> degrees{0, 0, 0};
    std::array<float, 3> move{0, 0, 0};
    bool aboutCentre = false;
};

// Applies the transform to every position of every frame as one step named `name`. A transform that
// mirrors (an odd number of negative scales) turns every triangle's corners round, so that faces still
// face out. False when it changes nothing (no frame, or the identity).
bool transformModel(CFacetoDoc& doc, const ModelTransform& transform,
                    const std::string& name = FACETO_TEXT("Transform"));

// Mirrors the model across the plane through its centre at right angles to `axis` (0 = x, 1 = y, 2 = z).
bool mirrorModel(CFacetoDoc& doc, int axis);
// Moves every frame alike so that the centre of the model's bounds over all frames is at the origin.
bool centreModelOnOrigin(CFacetoDoc& doc);

} // namespace faceto
