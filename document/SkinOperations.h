#pragma once

#include "document/UndoHistory.h"
#include "formats/FileIO.h"
#include "formats/Result.h"
#include "model/Model.h"
#include "model/Palette.h"
#include "model/Texts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace faceto {

class CFacetoDoc;

using CornerCoords = std::array<std::array<float, 2>, 3>; // a triangle's skin coordinates, corner by corner

// The skin coordinates of some triangles change: a drag in the skin view (one step per gesture) or a
// generated skin map.
class ChangeSkinCoords : public Command {
public:
    ChangeSkinCoords(std::string name, std::vector<int32_t> triangles, std::vector<CornerCoords> after,
                     uint64_t gesture = 0);
    void redo(CFacetoDoc& doc) override { swap(doc); }
    void undo(CFacetoDoc& doc) override { swap(doc); }
    bool mergeWith(const Command& next) override;
    size_t memoryBytes() const override;
    ChangeNotice changes() const override { return {change::SKINS}; }

private:
    void swap(CFacetoDoc& doc);
    std::vector<int32_t> triangles_;
    std::vector<CornerCoords> other_; // the coordinates not in the model: the new ones until done
    uint64_t gesture_;
};

// The model's skins change as one step, with every triangle's skin coordinates when given, and the skin
// shown.
class ChangeSkins : public Command {
public:
    // `skinGroups`: the Quake skin groups after the change, when it reshapes them.
    ChangeSkins(std::string name, std::vector<Skin> skins, int32_t shown,
                std::optional<std::vector<CornerCoords>> coords, std::array<int32_t, 2> skinSize,
                std::optional<std::vector<QuakeFields::Group>> skinGroups = std::nullopt);
    void redo(CFacetoDoc& doc) override { swap(doc); }
    void undo(CFacetoDoc& doc) override { swap(doc); }
    size_t memoryBytes() const override;
    ChangeNotice changes() const override { return {change::SKINS | change::VIEW}; }

private:
    void swap(CFacetoDoc& doc);
    std::vector<Skin> skins_;
    int32_t shown_;
    std::optional<std::vector<CornerCoords>> coords_;
    std::array<int32_t, 2> skinSize_; // the recorded skin size (the source's)
    std::optional<std::vector<QuakeFields::Group>> skinGroups_;
};

// The triangles a skin edit works on: the selected ones (all three corners selected), or every one when
// none is.
std::vector<int32_t> skinEditTriangles(const CFacetoDoc& doc);

// A plain 8-bit skin of that size in the palette, every texel the palette's middle grey.
Skin blankSkin(int32_t width, int32_t height, const RgbPalette& palette);

// The skin stretched (nearest texel) to another size; any depth.
Skin resampledSkin(const Skin& skin, int32_t width, int32_t height);

// Each of these is one step, and does nothing (false) when there is nothing to do.
// A new skin after the others; it becomes the one shown. With `scaleCoords` the coordinates follow the
// change from the shown skin's size to the new one's.
bool addSkin(CFacetoDoc& doc, Skin skin, const std::string& stepName = FACETO_TEXT("New Skin"),
             bool scaleCoords = false);
// Skin `index` replaced by another picture; with `scaleCoords` the coordinates follow a change of size.
bool replaceSkin(CFacetoDoc& doc, int32_t index, Skin skin, bool scaleCoords);
bool deleteSkin(CFacetoDoc& doc, int32_t index);
// Skin `index` stretched to a new size, the coordinates scaled with it.
bool resizeSkin(CFacetoDoc& doc, int32_t index, int32_t width, int32_t height);

// A planar map of the current frame seen from the front (y to the right, z up): triangles facing the
// viewer on the left half of the skin, those facing away mirrored on the right half, scaled to fill the
// skin with a margin. Only the selected triangles when some are. A model without a skin gets an empty one
// of the recorded skin size (256 x 256 without one) in `palette`. False without a triangle or a frame.
bool generateSkinMap(CFacetoDoc& doc, const RgbPalette& palette);

// The edges of each triangle (corner k to k + 1) where the skin map is cut: the triangle across it
// gives its two ends other skin coordinates.
std::vector<std::array<bool, 3>> skinSeams(const Model& model);

// Skin `index` as a file: a PCX (an imported PCX exactly as it was read, unless the map is drawn over
// it) or a PNG (an 8-bit skin with its indices), with the skin map's lines over it on request.
Result<ByteBuffer> skinFileBytes(const Model& model, int32_t index, bool png, bool withMap);

} // namespace faceto
