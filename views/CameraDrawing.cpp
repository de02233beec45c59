#include "views/CameraDrawing.h"

#include "document/CFacetoDoc.h"
#include "document/FrameOperations.h"
#include "document/GroupOperations.h"
#include "model/Texts.h"
#include "views/Projection.h"
#include "views/TagDrawing.h"
#include "views/ViewState.h"

#include <algorithm>
#include <bit>

namespace faceto {

namespace {

constexpr int OUTLINE = 0;
constexpr int WIRE = 12;
constexpr int VERTEX_DOT = 250;
constexpr int PREVIEW_RAMP = 7; // the preview shades every triangle along the ramp of colour 7
constexpr int WHITE = 254;
constexpr int32_t TEXEL_LIMIT = 1 << 20;

// A skin coordinate as a whole texel, kept where the rasterizer's fixed point cannot overflow.
int32_t texel(float c) {
    return std::clamp(int32_t(std::fmax(-1e9f, std::fmin(1e9f, c))), -TEXEL_LIMIT, TEXEL_LIMIT);
}

ProjectedVertex projectVertex(const FrameVertex& p, const Mat4& camera, const Projection& projection) {
    const Vec3 c = camera.transformPoint(p.x, p.y, p.z);
    return {c.x, c.y, c.z, c.z > 0.0f ? projection.project(c) : Pixel{}};
}

// A triangle with its corners' pixels and its facing; returns its depth key, its farthest corner's z.
float projectTriangle(const Triangle& t, const std::vector<ProjectedVertex>& vertices,
                      ProjectedTriangle& out) {
    out.inFront = true;
    out.color = t.color;
    Vec3 p[3];
    float key = -1e30f;
    for (int c = 0; c < 3; ++c) {
        const int32_t v = t.v[size_t(c)];
        if (v < 0 || size_t(v) >= vertices.size()) {
            out.inFront = false; // a corner without a position: left out
            continue;
        }
        const ProjectedVertex& pv = vertices[size_t(v)];
        p[c] = {pv.x, pv.y, pv.z};
        out.corners[size_t(c)] = pv.pixel;
        key = std::max(key, pv.z);
        // There is no near clipping: a triangle that reaches behind the camera is left out.
        out.inFront = out.inFront && pv.z > 0.0f;
    }
    if (out.inFront) {
        out.normalZ = normalize(cross(p[0] - p[1], p[2] - p[1])).z;
    }
    return key;
}

// The rasterizer's draw order as the memo's depth order holds it (the draw loop reads only the indices).
void takeOrder(Rasterizer& r, const DepthOrder& order) {
    const std::vector<DepthEntry>& sorted = order.sorted();
    r.reserveSortSpace(sorted.size());
    int32_t* indices = r.sortIndices().data();
    for (size_t i = 0; i < sorted.size(); ++i) {
        indices[i] = sorted[i].index;
    }
}

// Every vertex of the frame in camera space with its pixel, every triangle with its corners' pixels
// and its facing, and the triangles sorted far to near by their farthest corner. Done in index order,
// so that the draw loop, which visits the triangles in depth order, reads one compact record each.
// With a memo, the depth keys in triangle order and their order are kept in it.
void prepare(Rasterizer& r, const Model& model, const Frame& frame, const Mat4& camera,
             const Projection& projection, ProjectionMemo* memo = nullptr) {
    auto& vertices = r.projectedVertices();
    vertices.resize(frame.positions.size());
    for (size_t v = 0; v < frame.positions.size(); ++v) {
        vertices[v] = projectVertex(frame.positions[v], camera, projection);
    }
    const int32_t count = model.triangleCount();
    auto& triangles = r.projectedTriangles();
    triangles.resize(size_t(count));
    r.reserveSortSpace(size_t(count));
    float* sorted = r.sortKeys().data();
    int32_t* indices = r.sortIndices().data();
    for (int32_t i = 0; i < count; ++i) {
        sorted[i] = projectTriangle(model.triangles[size_t(i)], vertices, triangles[size_t(i)]);
        indices[i] = i;
    }
    if (memo != nullptr) {
        memo->keys.assign(sorted, sorted + count);
        memo->order.sortAll(memo->keys.data(), count);
        takeOrder(r, memo->order);
        return;
    }
    Rasterizer::sortByDepth(sorted, indices, 0, count - 1);
}

// The same position to the bit (a NaN the same NaN), which projects to the same record.
bool sameBits(const FrameVertex& a, const FrameVertex& b) {
    auto bits = [](float f) { return std::bit_cast<uint32_t>(f); };
    return bits(a.x) == bits(b.x) && bits(a.y) == bits(b.y) && bits(a.z) == bits(b.z);
}

// The triangles around each vertex of the memo's model, made once for its revision.
void knowTrianglesAround(ProjectionMemo& memo, const Model& model, size_t vertexCount) {
    if (memo.aroundRevision == memo.revision && memo.firstAround.size() == vertexCount + 1) {
        return;
    }
    memo.firstAround.assign(vertexCount + 1, 0);
    for (const Triangle& t : model.triangles) {
        for (const int32_t v : t.v) {
            if (v >= 0 && size_t(v) < vertexCount) {
                ++memo.firstAround[size_t(v) + 1];
            }
        }
    }
    for (size_t v = 0; v < vertexCount; ++v) {
        memo.firstAround[v + 1] += memo.firstAround[v];
    }
    memo.aroundVertex.resize(size_t(memo.firstAround[vertexCount]));
    std::vector<int32_t> next(memo.firstAround.begin(), memo.firstAround.end() - 1);
    for (int32_t i = 0; i < model.triangleCount(); ++i) {
        for (const int32_t v : model.triangles[size_t(i)].v) {
            if (v >= 0 && size_t(v) < vertexCount) {
                memo.aroundVertex[size_t(next[size_t(v)]++)] = i;
            }
        }
    }
    memo.aroundRevision = memo.revision;
}

// Projects and sorts the frame unless the memo tells that the rasterizer holds this very projection.
// When only a few vertices moved since, those and the triangles around them are projected again, which
// gives the records and keys a whole projection gives, and the triangles are sorted again.
void prepareOnce(Rasterizer& r, const CFacetoDoc& doc, const Frame& frame, const Mat4& camera,
                 ProjectionMemo* memo) {
    const auto& positions = frame.positions;
    const Model& model = doc.model();
    const Projection projection(r.width(), r.height());
    if (memo != nullptr && memo->valid && memo->doc == &doc && memo->revision == doc.modelRevision() &&
        memo->camera == camera && memo->width == r.width() && memo->height == r.height() &&
        memo->positions.size() == positions.size() && memo->keys.size() == model.triangles.size() &&
        r.projectedVertices().size() == positions.size() &&
        r.projectedTriangles().size() == model.triangles.size()) {
        thread_local std::vector<int32_t> moved;
        moved.clear();
        for (size_t v = 0; v < positions.size(); ++v) {
            if (!sameBits(positions[v], memo->positions[v])) {
                moved.push_back(int32_t(v));
            }
        }
        if (moved.empty()) {
            return;
        }
        if (moved.size() <= positions.size() / 8) {
            knowTrianglesAround(*memo, model, positions.size());
            auto& vertices = r.projectedVertices();
            for (const int32_t v : moved) {
                vertices[size_t(v)] = projectVertex(positions[size_t(v)], camera, projection);
                memo->positions[size_t(v)] = positions[size_t(v)];
            }
            auto& triangles = r.projectedTriangles();
            thread_local std::vector<int32_t> around;
            around.clear();
            for (const int32_t v : moved) {
                for (int32_t k = memo->firstAround[size_t(v)]; k < memo->firstAround[size_t(v) + 1]; ++k) {
                    const int32_t i = memo->aroundVertex[size_t(k)];
                    memo->keys[size_t(i)] =
                        projectTriangle(model.triangles[size_t(i)], vertices, triangles[size_t(i)]);
                    around.push_back(i);
                }
            }
            memo->order.sortAgain(memo->keys.data(), model.triangleCount(), around);
            takeOrder(r, memo->order);
            return;
        }
    }
    if (memo == nullptr) {
        prepare(r, model, frame, camera, projection);
        return;
    }
    memo->valid = false; // until the projection is whole
    prepare(r, model, frame, camera, projection, memo);
    memo->doc = &doc;
    memo->revision = doc.modelRevision();
    memo->camera = camera;
    memo->width = r.width();
    memo->height = r.height();
    memo->positions.assign(positions.begin(), positions.end());
    memo->valid = true;
}

// A light row of the colour map from a float: cut to a whole row and kept inside the map; a NaN (the
// normal of a face too far out or of no area) is the darkest row, never an undefined conversion.
int rowWithin(float row) {
    if (!(row >= 0.0f)) {
        return row < 0.0f ? 0 : LIGHT_ROWS - 1;
    }
    return row < float(LIGHT_ROWS - 1) ? int(row) : LIGHT_ROWS - 1;
}

// 0 when the face looks straight at the camera, up to 63 seen edge-on.
int lightRow(float normalZ) {
    return rowWithin(64.0f * (1.0f + normalZ));
}

void outline(Rasterizer& r, const std::array<Pixel, 3>& q, int colour) {
    r.drawLine(q[0], q[1], colour);
    r.drawLine(q[2], q[1], colour);
    r.drawLine(q[2], q[0], colour);
}

} // namespace

namespace {

// The light row of a face or vertex whose unit normal in camera space has this z: the ambient light
// everywhere, twice the spot light where it faces the camera squarely (row 0, the brightest), as the
// camera pane's shaded modes light them.
int shadedRow(float normalZ, int ambient, int spot) {
    const float facing = std::clamp(std::abs(normalZ), 0.0f, 1.0f);
    const float full = float(std::max(0, ambient) + 2 * std::max(0, spot));
    if (!(full > 0.0f)) {
        return LIGHT_ROWS - 1;
    }
    const float brightness = (float(std::max(0, ambient)) + 2.0f * float(std::max(0, spot)) * facing) / full;
    return rowWithin(float(LIGHT_ROWS - 1) * (1.0f - brightness));
}

// Each vertex's normal in camera space: the sum of the unit normals of the faces around it, normalised.
void vertexNormals(const Model& model, const std::vector<ProjectedVertex>& vertices,
                   std::vector<Vec3>& normals) {
    normals.assign(vertices.size(), Vec3{0, 0, 0});
    for (const Triangle& t : model.triangles) {
        Vec3 p[3];
        bool valid = true;
        for (int c = 0; c < 3; ++c) {
            const int32_t v = t.v[size_t(c)];
            if (v < 0 || size_t(v) >= vertices.size()) {
                valid = false;
                break;
            }
            p[c] = {vertices[size_t(v)].x, vertices[size_t(v)].y, vertices[size_t(v)].z};
        }
        if (!valid) {
            continue;
        }
        const Vec3 n = normalize(cross(p[0] - p[1], p[2] - p[1]));
        for (int32_t v : t.v) {
            Vec3& sum = normals[size_t(v)];
            sum = {sum.x + n.x, sum.y + n.y, sum.z + n.z};
        }
    }
    for (Vec3& n : normals) {
        n = normalize(n);
    }
}

} // namespace

std::string cameraPaneLabel(int fillMode) {
    const char* name = fillMode == FILL_NONE              ? FACETO_TEXT("No Rendering")
                       : fillMode == FILL_WIREFRAME       ? FACETO_TEXT("Wireframe")
                       : fillMode == FILL_VERTEX          ? FACETO_TEXT("Vertex")
                       : fillMode == FILL_GOURAUD         ? FACETO_TEXT("Gouraud Shading")
                       : fillMode == FILL_TEXTURED        ? FACETO_TEXT("Texture Mapped")
                       : fillMode == FILL_TEXTURED_SHADED ? FACETO_TEXT("Textured and Shaded")
                                                          : FACETO_TEXT("Flat Shading");
    return localText(FACETO_TEXT("Camera (%1)"), {localText(name)});
}

namespace {

// The label in the pane's top left corner, light on a dark background and dark on a light one.
void drawCameraLabel(Rasterizer& r, int mode, const PaletteEntry& background, OverlayTarget* overlay,
                     const Model* model = nullptr, const Frame* frame = nullptr,
                     const Mat4* camera = nullptr) {
    if (overlay == nullptr || !r.beginOverlay(overlay)) {
        return;
    }
    if (model != nullptr && frame != nullptr && camera != nullptr && !model->tagNames.empty()) {
        // The axes are as long on the screen wherever the tag is: sized by its origin's depth.
        const Projection projection(r.width(), r.height());
        const int height = r.height();
        const auto unitsPerPixel = [&](const FrameVertex& p) {
            return std::abs(camera->transformPoint(p.x, p.y, p.z).z) /
                   std::max(std::abs(projection.a), std::abs(projection.b));
        };
        drawTags(r, *model, *frame, unitsPerPixel, [&](const FrameVertex& p) -> std::optional<Pixel> {
            const Vec3 c = camera->transformPoint(p.x, p.y, p.z);
            if (!(c.z > 0.0f)) {
                return std::nullopt;
            }
            const Pixel at = projection.project(c);
            return Pixel{at.x, height - at.y};
        });
    }
    const int light = (background[2] * 299 + background[1] * 587 + background[0] * 114) / 1000;
    r.overlayText({4, 2}, cameraPaneLabel(mode), light < 128 ? 0xC0C0C0 : 0x303030);
    r.endOverlay();
}

// The skin the textured modes paint with, in the colours the pane shows: the first skin's palette when
// that skin is an 8-bit picture (then copied to `palette`), the renderer's own otherwise. Null in the
// other modes and without a skin.
const Skin* paintedSkin(Rasterizer& r, const CFacetoDoc& doc, int mode, DisplayPalette& palette) {
    const Model& model = doc.model();
    if ((mode != FILL_TEXTURED && mode != FILL_TEXTURED_SHADED) || model.skins.empty()) {
        return nullptr;
    }
    const size_t index = size_t(std::clamp<int32_t>(playedSkin(doc), 0, int32_t(model.skins.size()) - 1));
    const bool own = model.skins[0].isIndexed8();
    if (own) {
        std::copy(model.skins[0].palette.begin(), model.skins[0].palette.end(), palette.begin());
    }
    return &skinInColours(model.skins[index], own ? palette : r.defaultPalette());
}

// What one surface of a Quake III model paints with: the skin its first shader names, and the factors
// that take the model's skin coordinates (in pixels of the model's skin size) onto that picture.
struct SurfaceSkin {
    const Skin* skin = nullptr;
    float across = 1.0f;
    float down = 1.0f;
};

// Per group, the skin of the Quake III surface it is, where that skin was found (else `shown`), while the
// skin chosen to show is one of the surfaces' own (or the first): a skin chosen that no surface names
// paints every surface. Empty for other models and without a skin.
std::vector<SurfaceSkin> surfaceSkins(const CFacetoDoc& doc, const Skin* shown,
                                      const DisplayPalette& colours) {
    const Model& model = doc.model();
    std::vector<SurfaceSkin> skins;
    if (shown == nullptr || !doc.source().md3 || doc.source().skinWidth <= 0 ||
        doc.source().skinHeight <= 0) {
        return skins;
    }
    auto skinNamed = [&](const std::string& name) -> const Skin* {
        for (const Skin& skin : model.skins) {
            if (skin.name == name) {
                return &skin;
            }
        }
        return nullptr;
    };
    std::vector<const Skin*> own(model.groups.size(), nullptr);
    bool chosenIsOwn = doc.currentSkin() <= 0;
    for (size_t g = 0; g < model.groups.size(); ++g) {
        for (const Md3Fields::Surface& surface : doc.source().md3->surfaces) {
            if (own[g] == nullptr && !surface.shaders.empty() &&
                nameFieldText(surface.name) == model.groups[g].name) {
                own[g] = skinNamed(nameFieldText(surface.shaders.front().name));
            }
        }
        chosenIsOwn = chosenIsOwn || (own[g] != nullptr && own[g]->name == shown->name);
    }
    for (const Skin* skin : own) {
        if (skin == nullptr || !chosenIsOwn) {
            skins.push_back({shown, 1.0f, 1.0f});
            continue;
        }
        const Skin& painted = skinInColours(*skin, colours);
        skins.push_back({&painted, float(painted.imageWidth) / float(doc.source().skinWidth),
                         float(painted.imageHeight) / float(doc.source().skinHeight)});
    }
    return skins;
}

// The light row of each vertex in the shaded modes (empty in the others).
std::vector<int> vertexLightRows(const Model& model, const std::vector<ProjectedVertex>& vertices, int mode,
                                 const ViewState& view) {
    std::vector<int> rows;
    if (mode == FILL_GOURAUD || mode == FILL_TEXTURED_SHADED) {
        std::vector<Vec3> normals;
        vertexNormals(model, vertices, normals);
        rows.resize(normals.size());
        for (size_t v = 0; v < normals.size(); ++v) {
            rows[v] = shadedRow(normals[v].z, view.lightAmbient, view.lightSpot);
        }
    }
    return rows;
}

void drawTexturedTriangle(Rasterizer& r, const std::array<Pixel, 3>& q, const Triangle& source,
                          const Skin& skin, const std::vector<int>& vertexRow, bool shaded) {
    int32_t polygon[20];
    const int n = shaded ? 5 : 4;
    for (int c = 0; c <= 3; ++c) {
        const int corner = c % 3;
        polygon[c * n] = q[size_t(corner)].x;
        polygon[c * n + 1] = q[size_t(corner)].y;
        polygon[c * n + 2] = texel(source.st[size_t(corner)][0]);
        polygon[c * n + 3] = texel(source.st[size_t(corner)][1]);
        if (shaded) {
            polygon[c * n + 4] = vertexRow[size_t(source.v[size_t(corner)])];
        }
    }
    if (shaded) {
        r.fillTexturedShadedPolygon(polygon, 3, skin);
    } else {
        r.fillTexturedPolygon(polygon, 3, skin);
    }
}

// One triangle as the mode draws it.
void drawCameraTriangle(Rasterizer& r, const Model& model, const ProjectedTriangle& t, const Triangle& source,
                        int mode, const Skin* skin, const std::vector<int>& vertexRow) {
    const auto& q = t.corners;
    switch (mode) {
    case FILL_WIREFRAME:
        outline(r, q, t.color & 0xFF);
        return;
    case FILL_VERTEX:
        for (int c = 0; c < 3; ++c) {
            const bool selected = model.vertexInfos[size_t(source.v[size_t(c)])].selected();
            r.plotSquare(q[size_t(c)], selected ? VERTEX_DOT : WHITE, 1);
        }
        return;
    case FILL_GOURAUD: {
        int32_t polygon[12];
        for (int c = 0; c <= 3; ++c) {
            const int corner = c % 3;
            polygon[c * 3] = q[size_t(corner)].x;
            polygon[c * 3 + 1] = q[size_t(corner)].y;
            polygon[c * 3 + 2] = vertexRow[size_t(source.v[size_t(corner)])];
        }
        r.fillGouraudPolygon(polygon, 3, t.color);
        return;
    }
    case FILL_TEXTURED:
    case FILL_TEXTURED_SHADED:
        if (skin != nullptr) {
            drawTexturedTriangle(r, q, source, *skin, vertexRow, mode == FILL_TEXTURED_SHADED);
            return;
        }
        break; // without a skin: flat
    default:
        break;
    }
    const int32_t polygon[] = {q[0].x, q[0].y, q[1].x, q[1].y, q[2].x, q[2].y, q[0].x, q[0].y};
    if (r.withinTwoPixels(polygon, 3)) {
        // Every pixel the fill would cover is a corner, which the outline covers again.
        for (const Pixel& corner : q) {
            r.plotPixel(corner, OUTLINE);
        }
        return;
    }
    r.fillFlatPolygon(polygon, 3, r.tables().shade(lightRow(-std::abs(t.normalZ)), t.color));
    outline(r, q, OUTLINE);
}

} // namespace

bool drawCameraView(Rasterizer& r, const CFacetoDoc* doc, const ViewState& view, const Mat4& camera,
                    int width, int height, FramePresenter* target, int frameIndex, OverlayTarget* overlay,
                    ProjectionMemo* memo) {
    const int mode = doc ? view.fillMode : FILL_FLAT;
    DisplayPalette skinPalette{};
    const Skin* skin = doc ? paintedSkin(r, *doc, mode, skinPalette) : nullptr;
    const bool ownColours = skin && doc->model().skins[0].isIndexed8();
    const int background = doc ? view.backColor : 0;
    if (!r.beginFrame(target, width, height, background, ownColours ? &skinPalette : nullptr)) {
        return false;
    }
    const Frame* frame = doc == nullptr ? nullptr
                         : frameIndex >= 0 && size_t(frameIndex) < doc->frames().size()
                             ? &doc->frames()[size_t(frameIndex)]
                             : doc->currentFrame();
    const PaletteEntry backgroundRgb =
        (ownColours ? skinPalette : r.defaultPalette())[size_t(background & 0xFF)];
    if (frame == nullptr || doc->frames().empty() || mode == FILL_NONE) {
        r.presentFrame();
        drawCameraLabel(r, mode, backgroundRgb, overlay);
        return true;
    }
    const Model& model = doc->model();
    prepareOnce(r, *doc, *frame, camera, memo);
    const std::vector<int> vertexRow = vertexLightRows(model, r.projectedVertices(), mode, view);
    // A skin shown in its own (the game's) colours is lit by the game's colour map when there is one.
    r.useColormap(ownColours && view.gameColormap ? view.gameColormap.get() : nullptr);
    const std::vector<SurfaceSkin> surfaces =
        surfaceSkins(*doc, skin, ownColours ? skinPalette : r.defaultPalette());
    const int32_t* order = r.sortIndices().data();
    const auto& triangles = r.projectedTriangles();
    for (int32_t k = 0; k < model.triangleCount(); ++k) {
        const ProjectedTriangle& t = triangles[size_t(order[k])];
        // Behind the camera, or facing away (unless back faces are drawn), or seen edge-on: left out.
        if (!t.inFront || (t.normalZ >= 0.0f && !(view.drawBackFaces && t.normalZ > 0.0f))) {
            continue;
        }
        const Triangle& source = model.triangles[size_t(order[k])];
        if (const size_t g = size_t(source.group); g < surfaces.size()) {
            // A surface's own skin, its skin coordinates on that picture.
            Triangle onSkin = source;
            for (auto& st : onSkin.st) {
                st = {st[0] * surfaces[g].across, st[1] * surfaces[g].down};
            }
            drawCameraTriangle(r, model, t, onSkin, mode, surfaces[g].skin, vertexRow);
            continue;
        }
        drawCameraTriangle(r, model, t, source, mode, skin, vertexRow);
    }
    r.useColormap(nullptr);
    r.presentFrame();
    drawCameraLabel(r, mode, backgroundRgb, overlay, &model, frame, &camera);
    return true;
}

int pickCameraTriangle(const CFacetoDoc& doc, const ViewState& view, const Mat4& camera, int width,
                       int height, int x, int y) {
    const Frame* frame = doc.currentFrame();
    if (frame == nullptr || width <= 0 || height <= 0) {
        return -1;
    }
    const Projection projection((width + 3) / 4 * 4, height);
    const float px = float(x);
    const float py = float(height - y);
    int best = -1;
    float bestKey = 0.0f;
    for (size_t t = 0; t < doc.model().triangles.size(); ++t) {
        const Triangle& tri = doc.model().triangles[t];
        Vec3 c[3];
        Pixel q[3];
        bool front = true;
        float key = -1e30f;
        for (int k = 0; k < 3; ++k) {
            const FrameVertex& p = frame->positions[size_t(tri.v[size_t(k)])];
            c[k] = camera.transformPoint(p.x, p.y, p.z);
            front = front && c[k].z > 0.0f;
            key = std::max(key, c[k].z);
        }
        if (!front) {
            continue;
        }
        const float nz = normalize(cross(c[0] - c[1], c[2] - c[1])).z;
        if (nz >= 0.0f && !(view.drawBackFaces && nz > 0.0f)) {
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            q[k] = projection.project(c[k]);
        }
        const float area =
            float(q[1].x - q[0].x) * float(q[2].y - q[0].y) - float(q[2].x - q[0].x) * float(q[1].y - q[0].y);
        if (area == 0.0f) {
            continue;
        }
        const float w1 =
            ((px - float(q[0].x)) * float(q[2].y - q[0].y) - float(q[2].x - q[0].x) * (py - float(q[0].y))) /
            area;
        const float w2 =
            (float(q[1].x - q[0].x) * (py - float(q[0].y)) - (px - float(q[0].x)) * float(q[1].y - q[0].y)) /
            area;
        if (w1 < 0.0f || w2 < 0.0f || w1 + w2 > 1.0f) {
            continue;
        }
        if (best < 0 || key < bestKey) {
            best = int(t);
            bestKey = key;
        }
    }
    return best;
}

namespace {

// The frame the preview shows (the current one unless another is chosen), or the pose between it and
// the frame it blends towards.
const Frame* previewFrame(const CFacetoDoc* doc, const PreviewSettings& settings) {
    if (doc == nullptr) {
        return nullptr;
    }
    const int shown = settings.shownFrame;
    const Frame* frame = shown >= 0 && size_t(shown) < doc->frames().size() ? &doc->frames()[size_t(shown)]
                                                                            : doc->currentFrame();
    const int towards = settings.blendFrame;
    if (frame != nullptr && settings.blend > 0.0f && towards >= 0 && size_t(towards) < doc->frames().size()) {
        thread_local Frame between;
        between = interpolatedFrame(*frame, doc->frames()[size_t(towards)], settings.blend);
        frame = &between;
    }
    return frame;
}

} // namespace

bool drawPreview(Rasterizer& r, const CFacetoDoc* doc, PreviewSettings& settings, const Mat4& camera,
                 int width, int height, FramePresenter* target, ProjectionMemo* memo) {
    const Frame* frame = previewFrame(doc, settings);
    const Model* model = doc ? &doc->model() : nullptr;
    // The picture shows in the first skin's colours when that skin is an 8-bit image.
    DisplayPalette skinPalette{};
    const bool ownColours = model && !model->skins.empty() && model->skins[0].isIndexed8();
    if (ownColours) {
        std::copy(model->skins[0].palette.begin(), model->skins[0].palette.end(), skinPalette.begin());
    }
    if (!r.beginFrame(target, width, height, 0, ownColours && frame ? &skinPalette : nullptr)) {
        return false;
    }
    if (frame == nullptr || doc->frames().empty()) {
        r.presentFrame();
        return true;
    }

    prepareOnce(r, *doc, *frame, camera, memo);
    const bool textured = settings.textured && !model->skins.empty();
    if (textured && size_t(settings.skinIndex) >= model->skins.size() && settings.skinIndex >= 0) {
        settings.skinIndex = 0;
    }
    // Without a skin of its own, the preview shows the one chosen for the document (the Skin drop-down's).
    const size_t shownSkin =
        settings.skinIndex >= 0
            ? size_t(settings.skinIndex)
            : size_t(std::clamp<int32_t>(playedSkin(*doc), 0, int32_t(model->skins.size()) - 1));
    // A skin that is not an 8-bit picture is shown in the colours the frame is shown in.
    const Skin* skin =
        textured ? &skinInColours(model->skins[shownSkin], ownColours ? skinPalette : r.defaultPalette())
                 : nullptr;
    const std::vector<SurfaceSkin> surfaces =
        surfaceSkins(*doc, skin, ownColours ? skinPalette : r.defaultPalette());
    const bool cull = settings.shaded && settings.cullBackFaces;
    const int edgeColour = settings.shaded ? OUTLINE : WIRE;
    const int32_t* order = r.sortIndices().data();
    const auto& triangles = r.projectedTriangles();
    for (int32_t k = 0; k < model->triangleCount(); ++k) {
        const ProjectedTriangle& t = triangles[size_t(order[k])];
        if (!t.inFront || (cull && t.normalZ >= 0.0f)) {
            continue;
        }
        const auto& q = t.corners;
        if (skin != nullptr) {
            const Triangle& source = model->triangles[size_t(order[k])];
            const size_t g = size_t(source.group);
            const SurfaceSkin painted = g < surfaces.size() ? surfaces[g] : SurfaceSkin{skin, 1.0f, 1.0f};
            const auto& st = source.st;
            auto sAt = [&](size_t c) { return texel(st[c][0] * painted.across); };
            auto tAt = [&](size_t c) { return texel(st[c][1] * painted.down); };
            const int32_t polygon[] = {q[0].x, q[0].y, sAt(0), tAt(0), q[1].x, q[1].y, sAt(1), tAt(1),
                                       q[2].x, q[2].y, sAt(2), tAt(2), q[0].x, q[0].y, sAt(0), tAt(0)};
            r.fillTexturedPolygon(polygon, 3, *painted.skin);
            if (settings.showEdges) {
                outline(r, q, WIRE);
            }
        } else {
            if (settings.shaded) {
                const int32_t polygon[] = {q[0].x, q[0].y, q[1].x, q[1].y, q[2].x, q[2].y, q[0].x, q[0].y};
                r.fillFlatPolygon(polygon, 3, r.tables().shade(lightRow(t.normalZ), PREVIEW_RAMP));
            }
            if (settings.showEdges) {
                outline(r, q, edgeColour);
            }
        }
        if (settings.showVertices) {
            for (const Pixel& corner : q) {
                r.plotPixel(corner, VERTEX_DOT);
            }
        }
    }
    r.presentFrame();
    return true;
}

} // namespace faceto
