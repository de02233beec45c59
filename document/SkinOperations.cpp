#include "document/SkinOperations.h"

#include "document/CFacetoDoc.h"
#include "document/DocumentEdit.h"
#include "formats/Pcx.h"
#include "formats/Pictures.h"
#include "model/QuakeGroups.h"
#include "model/Texts.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace faceto {

// --- commands ----------------------------------------------------------------------------------------

ChangeSkinCoords::ChangeSkinCoords(std::string name, std::vector<int32_t> triangles,
                                   std::vector<CornerCoords> after, uint64_t gesture)
    : Command(std::move(name)), triangles_(std::move(triangles)), other_(std::move(after)),
      gesture_(gesture) {}

void ChangeSkinCoords::swap(CFacetoDoc& doc) {
    for (size_t i = 0; i < triangles_.size(); ++i) {
        std::swap(DocumentEdit::model(doc).triangles[size_t(triangles_[i])].st, other_[i]);
    }
}

bool ChangeSkinCoords::mergeWith(const Command& next) {
    // Both are done: this one keeps the coordinates from before the gesture.
    const auto* other = dynamic_cast<const ChangeSkinCoords*>(&next);
    return other != nullptr && gesture_ != 0 && other->gesture_ == gesture_ && other->name() == name() &&
           other->triangles_ == triangles_;
}

size_t ChangeSkinCoords::memoryBytes() const {
    return sizeof(*this) + triangles_.capacity() * sizeof(int32_t) + other_.capacity() * sizeof(CornerCoords);
}

ChangeSkins::ChangeSkins(std::string name, std::vector<Skin> skins, int32_t shown,
                         std::optional<std::vector<CornerCoords>> coords, std::array<int32_t, 2> skinSize,
                         std::optional<std::vector<QuakeFields::Group>> skinGroups)
    : Command(std::move(name)), skins_(std::move(skins)), shown_(shown), coords_(std::move(coords)),
      skinSize_(skinSize), skinGroups_(std::move(skinGroups)) {}

void ChangeSkins::swap(CFacetoDoc& doc) {
    std::swap(DocumentEdit::model(doc).skins, skins_);
    const int32_t shown = doc.currentSkin();
    doc.setCurrentSkin(shown_);
    shown_ = shown;
    if (coords_) {
        for (size_t t = 0; t < coords_->size() && t < doc.model().triangles.size(); ++t) {
            std::swap(DocumentEdit::model(doc).triangles[t].st, (*coords_)[t]);
        }
    }
    std::swap(DocumentEdit::source(doc).skinWidth, skinSize_[0]);
    std::swap(DocumentEdit::source(doc).skinHeight, skinSize_[1]);
    DocumentEdit::source(doc).hasSkins = DocumentEdit::model(doc).skins.empty() ? 0 : 1;
    if (skinGroups_ && doc.source().quake) {
        std::swap(DocumentEdit::source(doc).quake->skinGroups, *skinGroups_);
    }
}

size_t ChangeSkins::memoryBytes() const {
    size_t bytes = sizeof(*this);
    for (const Skin& s : skins_) {
        bytes += sizeof(Skin) + s.pixels.capacity() + s.palette.capacity() * sizeof(PaletteEntry);
    }
    return bytes + (coords_ ? coords_->capacity() * sizeof(CornerCoords) : 0);
}

// --- operations --------------------------------------------------------------------------------------

namespace {

std::vector<CornerCoords> allCoords(const Model& model) {
    std::vector<CornerCoords> out;
    out.reserve(model.triangles.size());
    for (const Triangle& t : model.triangles) {
        out.push_back(t.st);
    }
    return out;
}

std::vector<CornerCoords> scaledCoords(const Model& model, double sx, double sy) {
    std::vector<CornerCoords> out = allCoords(model);
    for (CornerCoords& c : out) {
        for (auto& st : c) {
            st = {float(st[0] * sx), float(st[1] * sy)};
        }
    }
    return out;
}

// `origins`, when skins come or go: the skin each one was before (-1: a new one), which the skin groups
// follow.
void runSkins(CFacetoDoc& doc, const std::string& name, std::vector<Skin> skins, int32_t shown,
              std::optional<std::vector<CornerCoords>> coords, std::array<int32_t, 2> size,
              const std::vector<int32_t>* origins = nullptr) {
    std::optional<QuakeGroups> groups;
    if (const std::optional<QuakeFields>& quake = doc.source().quake;
        origins != nullptr && quake && holdsGroups(quake->skinGroups, doc.model().skins.size())) {
        groups = groupsAfterEdit(quake->skinGroups, *origins);
    }
    doc.run(std::make_unique<ChangeSkins>(name, std::move(skins), shown, std::move(coords), size,
                                          std::move(groups)));
}

std::vector<int32_t> everySkin(const CFacetoDoc& doc) {
    std::vector<int32_t> origins(doc.model().skins.size());
    std::iota(origins.begin(), origins.end(), 0);
    return origins;
}

std::array<int32_t, 2> recordedSize(const CFacetoDoc& doc) {
    return {doc.source().skinWidth, doc.source().skinHeight};
}

} // namespace

std::vector<int32_t> skinEditTriangles(const CFacetoDoc& doc) {
    std::vector<int32_t> out;
    const auto& infos = doc.model().vertexInfos;
    for (size_t t = 0; t < doc.model().triangles.size(); ++t) {
        const Triangle& tri = doc.model().triangles[t];
        if (std::all_of(tri.v.begin(), tri.v.end(),
                        [&](int32_t v) { return size_t(v) < infos.size() && infos[size_t(v)].selected(); })) {
            out.push_back(int32_t(t));
        }
    }
    if (out.empty()) {
        for (size_t t = 0; t < doc.model().triangles.size(); ++t) {
            out.push_back(int32_t(t));
        }
    }
    return out;
}

Skin blankSkin(int32_t width, int32_t height, const RgbPalette& palette) {
    Skin skin;
    skin.name = "skin";
    skin.imageWidth = width;
    skin.imageHeight = height;
    skin.bitsPerPixel = 8;
    skin.width = width;
    skin.height = height;
    skin.imageSize = skin.stride() * height;
    for (size_t i = 0; i < 256; ++i) {
        skin.palette.push_back({palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0});
    }
    // A middle grey: the model stays visible in the textured views until the skin is painted.
    DisplayPalette colours{};
    std::copy(skin.palette.begin(), skin.palette.end(), colours.begin());
    skin.pixels.assign(size_t(skin.imageSize), nearestColour(colours, 128, 128, 128));
    skin.colorsUsed = 256;
    return skin;
}

Skin resampledSkin(const Skin& skin, int32_t width, int32_t height) {
    Skin out;
    out.name = skin.name;
    out.imageWidth = width;
    out.imageHeight = height;
    out.width = width;
    out.height = height;
    out.palette = skin.palette;
    out.colorsUsed = skin.colorsUsed;
    // 1- and 4-bit pictures become 8-bit ones: the same colours, one byte a texel.
    out.bitsPerPixel = skin.bitsPerPixel == 24 ? 24 : 8;
    const size_t stride = size_t(out.stride());
    out.imageSize = int32_t(stride * size_t(height));
    out.pixels.assign(stride * size_t(height), 0);
    if (!skin.hasImage()) {
        return out;
    }
    const size_t from = size_t(skin.stride());
    for (int32_t y = 0; y < height; ++y) {
        const int32_t sy = int32_t(int64_t(y) * skin.imageHeight / height);
        for (int32_t x = 0; x < width; ++x) {
            const int32_t sx = int32_t(int64_t(x) * skin.imageWidth / width);
            const uint8_t* row = &skin.pixels[size_t(sy) * from];
            if (out.bitsPerPixel == 24) {
                std::copy_n(row + size_t(sx) * 3, 3, &out.pixels[size_t(y) * stride + size_t(x) * 3]);
            } else {
                const int bit = sx * skin.bitsPerPixel;
                const uint8_t byte = row[bit / 8];
                out.pixels[size_t(y) * stride + size_t(x)] =
                    skin.bitsPerPixel == 8 ? byte
                                           : uint8_t((byte >> (8 - skin.bitsPerPixel - bit % 8)) &
                                                     ((1 << skin.bitsPerPixel) - 1));
            }
        }
    }
    return out;
}

bool addSkin(CFacetoDoc& doc, Skin skin, const std::string& stepName, bool scaleCoords) {
    std::vector<Skin> skins = doc.model().skins;
    std::array<int32_t, 2> size = recordedSize(doc);
    if (skins.empty() || size[0] <= 0 || size[1] <= 0) {
        size = {skin.imageWidth, skin.imageHeight};
    }
    std::optional<std::vector<CornerCoords>> coords;
    if (scaleCoords && !skins.empty()) {
        const Skin& old = skins[size_t(std::clamp<int32_t>(doc.currentSkin(), 0, int32_t(skins.size()) - 1))];
        if (old.imageWidth > 0 && old.imageHeight > 0) {
            coords = scaledCoords(doc.model(), double(skin.imageWidth) / old.imageWidth,
                                  double(skin.imageHeight) / old.imageHeight);
            size = {skin.imageWidth, skin.imageHeight};
        }
    }
    skins.push_back(std::move(skin));
    const int32_t shown = int32_t(skins.size()) - 1;
    std::vector<int32_t> origins = everySkin(doc);
    origins.push_back(-1);
    runSkins(doc, stepName, std::move(skins), shown, std::move(coords), size, &origins);
    return true;
}

bool replaceSkin(CFacetoDoc& doc, int32_t index, Skin skin, bool scaleCoords) {
    if (index < 0 || size_t(index) >= doc.model().skins.size()) {
        return false;
    }
    const Skin& old = doc.model().skins[size_t(index)];
    std::optional<std::vector<CornerCoords>> coords;
    std::array<int32_t, 2> size = recordedSize(doc);
    if (scaleCoords && old.imageWidth > 0 && old.imageHeight > 0 &&
        (old.imageWidth != skin.imageWidth || old.imageHeight != skin.imageHeight)) {
        coords = scaledCoords(doc.model(), double(skin.imageWidth) / old.imageWidth,
                              double(skin.imageHeight) / old.imageHeight);
        size = {skin.imageWidth, skin.imageHeight};
    }
    std::vector<Skin> skins = doc.model().skins;
    skin.name = old.name.empty() ? skin.name : old.name;
    skins[size_t(index)] = std::move(skin);
    runSkins(doc, FACETO_TEXT("Import Skin"), std::move(skins), index, std::move(coords), size);
    return true;
}

bool deleteSkin(CFacetoDoc& doc, int32_t index) {
    if (index < 0 || size_t(index) >= doc.model().skins.size()) {
        return false;
    }
    std::vector<Skin> skins = doc.model().skins;
    skins.erase(skins.begin() + index);
    const int32_t shown =
        std::clamp<int32_t>(doc.currentSkin() >= index ? doc.currentSkin() - 1 : doc.currentSkin(), 0,
                            std::max<int32_t>(int32_t(skins.size()) - 1, 0));
    std::vector<int32_t> origins = everySkin(doc);
    origins.erase(origins.begin() + index);
    runSkins(doc, FACETO_TEXT("Delete Skin"), std::move(skins), shown, std::nullopt, recordedSize(doc),
             &origins);
    return true;
}

bool resizeSkin(CFacetoDoc& doc, int32_t index, int32_t width, int32_t height) {
    if (index < 0 || size_t(index) >= doc.model().skins.size() || width <= 0 || height <= 0) {
        return false;
    }
    const Skin& old = doc.model().skins[size_t(index)];
    if (old.imageWidth == width && old.imageHeight == height) {
        return false;
    }
    std::vector<Skin> skins = doc.model().skins;
    skins[size_t(index)] = resampledSkin(old, width, height);
    std::optional<std::vector<CornerCoords>> coords;
    if (old.imageWidth > 0 && old.imageHeight > 0) {
        coords = scaledCoords(doc.model(), double(width) / old.imageWidth, double(height) / old.imageHeight);
    }
    runSkins(doc, FACETO_TEXT("Resize Skin"), std::move(skins), index, std::move(coords), {width, height});
    return true;
}

bool generateSkinMap(CFacetoDoc& doc, const RgbPalette& palette) {
    const Frame* frame = doc.currentFrame();
    if (frame == nullptr || doc.model().triangles.empty()) {
        return false;
    }
    const std::vector<int32_t> chosen = skinEditTriangles(doc);
    const bool needSkin = doc.model().skins.empty();
    int32_t width = 0;
    int32_t height = 0;
    if (needSkin) {
        width = doc.source().skinWidth > 0 ? doc.source().skinWidth : 256;
        height = doc.source().skinHeight > 0 ? doc.source().skinHeight : 256;
    } else {
        const Skin& skin = doc.model().skins[size_t(
            std::clamp<int32_t>(doc.currentSkin(), 0, int32_t(doc.model().skins.size()) - 1))];
        width = skin.imageWidth > 0 ? skin.imageWidth : doc.source().skinWidth;
        height = skin.imageHeight > 0 ? skin.imageHeight : doc.source().skinHeight;
    }
    if (width <= 0 || height <= 0) {
        width = height = 256;
    }
    auto position = [&](int32_t v) {
        return size_t(v) < frame->positions.size() ? frame->positions[size_t(v)] : FrameVertex{};
    };
    // The front view: y to the right, z up.
    float lo[2] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
    float hi[2] = {std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest()};
    for (int32_t t : chosen) {
        for (int32_t v : doc.model().triangles[size_t(t)].v) {
            const FrameVertex p = position(v);
            lo[0] = std::min(lo[0], p.y);
            hi[0] = std::max(hi[0], p.y);
            lo[1] = std::min(lo[1], p.z);
            hi[1] = std::max(hi[1], p.z);
        }
    }
    const float margin = std::max(1.0f, float(std::min(width, height)) / 32.0f);
    const float half = float(width) / 2.0f;
    const float spanY = std::max(hi[0] - lo[0], 1e-6f);
    const float spanZ = std::max(hi[1] - lo[1], 1e-6f);
    const float scale =
        std::max(0.0f, std::min((half - 2 * margin) / spanY, (float(height) - 2 * margin) / spanZ));
    std::vector<CornerCoords> after;
    after.reserve(chosen.size());
    for (int32_t t : chosen) {
        const Triangle& tri = doc.model().triangles[size_t(t)];
        const FrameVertex a = position(tri.v[0]), b = position(tri.v[1]), c = position(tri.v[2]);
        // Clockwise seen from outside: the right-hand normal points in, so a face towards the viewer
        // (at +x) has a right-hand normal with a negative x.
        const float nx = (b.y - a.y) * (c.z - a.z) - (b.z - a.z) * (c.y - a.y);
        const bool facing = nx <= 0.0f;
        CornerCoords st{};
        for (size_t k = 0; k < 3; ++k) {
            const FrameVertex p = position(tri.v[k]);
            const float s = facing ? margin + (p.y - lo[0]) * scale : half + margin + (hi[0] - p.y) * scale;
            st[k] = {s, margin + (hi[1] - p.z) * scale};
        }
        after.push_back(st);
    }
    if (needSkin) {
        std::vector<CornerCoords> coords = allCoords(doc.model());
        for (size_t i = 0; i < chosen.size(); ++i) {
            coords[size_t(chosen[i])] = after[i];
        }
        runSkins(doc, FACETO_TEXT("Generate SkinMap"), {blankSkin(width, height, palette)}, 0,
                 std::move(coords), {width, height});
    } else {
        doc.run(
            std::make_unique<ChangeSkinCoords>(FACETO_TEXT("Generate SkinMap"), chosen, std::move(after)));
    }
    return true;
}

std::vector<std::array<bool, 3>> skinSeams(const Model& model) {
    struct EdgeUse {
        uint64_t key;
        int32_t triangle;
        int32_t corner;
    };
    std::vector<EdgeUse> uses;
    uses.reserve(model.triangles.size() * 3);
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        const Triangle& tri = model.triangles[t];
        for (int32_t k = 0; k < 3; ++k) {
            const auto a = uint32_t(tri.v[size_t(k)]);
            const auto b = uint32_t(tri.v[size_t((k + 1) % 3)]);
            uses.push_back({uint64_t(std::min(a, b)) << 32 | std::max(a, b), int32_t(t), k});
        }
    }
    std::sort(uses.begin(), uses.end(), [](const EdgeUse& x, const EdgeUse& y) { return x.key < y.key; });
    // The skin coordinates a triangle gives vertex v.
    auto coordOf = [&](const EdgeUse& use, int32_t v) {
        const Triangle& tri = model.triangles[size_t(use.triangle)];
        for (size_t k = 0; k < 3; ++k) {
            if (tri.v[k] == v) {
                return tri.st[k];
            }
        }
        return tri.st[0];
    };
    std::vector<std::array<bool, 3>> seams(model.triangles.size(), {false, false, false});
    for (size_t i = 0; i < uses.size();) {
        size_t end = i + 1;
        while (end < uses.size() && uses[end].key == uses[i].key) {
            ++end;
        }
        const auto a = int32_t(uses[i].key >> 32);
        const auto b = int32_t(uses[i].key & 0xFFFFFFFFu);
        for (size_t x = i; x < end; ++x) {
            for (size_t y = i; y < end; ++y) {
                if (x != y && (coordOf(uses[x], a) != coordOf(uses[y], a) ||
                               coordOf(uses[x], b) != coordOf(uses[y], b))) {
                    seams[size_t(uses[x].triangle)][size_t(uses[x].corner)] = true;
                }
            }
        }
        i = end;
    }
    return seams;
}

Result<ByteBuffer> skinFileBytes(const Model& model, int32_t index, bool png, bool withMap) {
    if (index < 0 || size_t(index) >= model.skins.size()) {
        return Failure{"the model has no skin " + std::to_string(index) + " (it has " +
                       std::to_string(model.skins.size()) + ")"};
    }
    const Skin& stored = model.skins[size_t(index)];
    if (!stored.hasImage()) {
        return Failure{"skin " + std::to_string(index) + " has no picture"};
    }
    if (!png && !withMap && stored.pcxFile) {
        return ByteBuffer(stored.pcxFile->begin(), stored.pcxFile->end());
    }
    const Skin drawn = withMap ? skinWithMap(stored, model.triangles) : Skin{};
    const Skin& skin = withMap ? drawn : stored;
    ByteBuffer bytes = png ? encodeSkinPicturePng(skin) : encodeSkinPcx(skin);
    if (bytes.empty()) {
        return Failure{"the skin cannot be written"};
    }
    return bytes;
}

} // namespace faceto
