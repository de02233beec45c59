// Frame times of the views on large generated models, fill rates against memset, and Qt's raster
// engine filling the same triangles.
#include "BenchMeshes.h"
#include "document/CFacetoDoc.h"
#include "document/DocumentEdit.h"
#include "document/SkinOperations.h"
#include "model/Palette.h"
#include "render/Rasterizer.h"
#include "views/CameraDrawing.h"
#include "views/OrthoEditor.h"
#include "views/OrthoView.h"
#include "views/Projection.h"
#include "views/SkinDrawing.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <benchmark/benchmark.h>
#include <cstring>

using namespace faceto;
using namespace faceto::bench;

namespace {

class NullFrame : public FramePresenter {
public:
    void present(const uint8_t* pixels, int, int, int, const DisplayPalette&) override {
        benchmark::DoNotOptimize(pixels);
    }
};

struct Scene {
    MemoryProfile profile;
    NullHost host;
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer rasterizer{tables};
    AppState app;
    std::unique_ptr<CFacetoDoc> doc;
    NullFrame frame;
    ViewState view;

    // A wavy sheet of `columns` x `rows` vertices in the y-z plane, facing the initial camera,
    // about 80 units across, with a 256 x 256 skin.
    Scene(int32_t columns, int32_t rows, int32_t maxTriangles = INT32_MAX) {
        doc = std::make_unique<CFacetoDoc>(profile, host, tables);
        ModelData data = makeGridModel(columns, rows, 1, maxTriangles);
        const float step = 80.0f / float(std::max(columns, rows));
        for (FrameVertex& p : data.frames[0].positions) {
            p = {p.z, -p.x * step, p.y * step};
        }
        Skin skin;
        skin.imageWidth = 256;
        skin.imageHeight = 256;
        skin.bitsPerPixel = 8;
        skin.pixels.resize(256 * 256);
        for (size_t i = 0; i < skin.pixels.size(); ++i) {
            skin.pixels[i] = uint8_t(16 + (i ^ (i >> 8)) % 200);
        }
        skin.palette.assign(256, PaletteEntry{0, 0, 0, 0});
        data.model.skins.push_back(std::move(skin));
        DocumentEdit::model(*doc) = std::move(data.model);
        DocumentEdit::frames(*doc) = std::move(data.frames);
        doc->setCurrentFrame(0);
        view.zoomFactor = 8.0f;
    }
};

// Camera pane at 1023 x 1023, about 100,000 triangles.
void BM_CameraView100kTriangles(benchmark::State& state) {
    Scene scene(224, 224);
    for (auto _ : state) {
        drawCameraView(scene.rasterizer, scene.doc.get(), scene.view, initialCamera(), 1023, 1023,
                       &scene.frame);
    }
    state.counters["triangles"] = double(scene.doc->model().triangleCount());
}
BENCHMARK(BM_CameraView100kTriangles)->Unit(benchmark::kMillisecond);

// The camera pane in each of its modes (the argument: the mode's setting value), 1023 x 1023, about
// 100,000 triangles, lit as the default settings light them.
void BM_CameraViewEachMode100kTriangles(benchmark::State& state) {
    Scene scene(224, 224);
    scene.view.fillMode = uint8_t(state.range(0));
    for (auto _ : state) {
        drawCameraView(scene.rasterizer, scene.doc.get(), scene.view, initialCamera(), 1023, 1023,
                       &scene.frame);
    }
    state.counters["triangles"] = double(scene.doc->model().triangleCount());
}
BENCHMARK(BM_CameraViewEachMode100kTriangles)
    ->ArgName("mode")
    ->Arg(FILL_NONE)
    ->Arg(FILL_WIREFRAME)
    ->Arg(FILL_VERTEX)
    ->Arg(FILL_FLAT)
    ->Arg(FILL_GOURAUD)
    ->Arg(FILL_TEXTURED)
    ->Arg(FILL_TEXTURED_SHADED)
    ->Unit(benchmark::kMillisecond);

void BM_TexturedPreview100kTriangles(benchmark::State& state) {
    Scene scene(224, 224);
    PreviewSettings settings;
    for (auto _ : state) {
        drawPreview(scene.rasterizer, scene.doc.get(), settings, initialCamera(), 1023, 1023, &scene.frame);
    }
    state.counters["triangles"] = double(scene.doc->model().triangleCount());
}
BENCHMARK(BM_TexturedPreview100kTriangles)->Unit(benchmark::kMillisecond);

// The camera pane (flat shaded, 1023 x 1023) of the scaling models: 1k, 10k and 100k triangles.
void BM_ScalingCameraRender(benchmark::State& state) {
    MemoryProfile profile;
    NullHost host;
    const PaletteTables tables = PaletteTables::builtIn();
    Rasterizer rasterizer(tables);
    NullFrame frame;
    CFacetoDoc doc(profile, host, tables);
    ModelData data = makeScalingModel(int32_t(state.range(0)));
    // Face on to the initial camera, about 80 units across.
    const float step = 80.0f / std::sqrt(float(data.model.vertexCount()));
    for (FrameVertex& p : data.frames[0].positions) {
        p = {p.z, -p.x * step, p.y * step};
    }
    DocumentEdit::model(doc) = std::move(data.model);
    DocumentEdit::frames(doc) = std::move(data.frames);
    doc.setCurrentFrame(0);
    const ViewState view;
    for (auto _ : state) {
        drawCameraView(rasterizer, &doc, view, initialCamera(), 1023, 1023, &frame);
    }
    state.counters["triangles"] = double(doc.model().triangleCount());
    state.counters["per_triangle"] =
        benchmark::Counter(double(doc.model().triangleCount()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScalingCameraRender)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The side pane (y right, z up) of a sheet with about 150,000 edges, at 1023 x 1023.
void BM_OrthoView150kEdges(benchmark::State& state) {
    Scene scene(224, 224);
    for (auto _ : state) {
        drawOrthoView(scene.rasterizer, *scene.doc, scene.view, 2, scene.app, 1023, 1023, &scene.frame,
                      nullptr);
    }
    state.counters["edges"] = double(scene.doc->model().edges.size());
}
BENCHMARK(BM_OrthoView150kEdges)->Unit(benchmark::kMillisecond);

class PaneHost : public MouseHost {
public:
    bool hasCapture() const override { return true; }
    void capture() override {}
    void release() override {}
    void repaintSelf() override {}
    void updateOtherViews() override {}
    int clientWidth() const override { return 800; }
    int clientHeight() const override { return 500; }
};

// One mouse move of a vertex drag on a 100,000-vertex model (1% of it selected), then the four panes
// of an 1600 x 1000 document window drawn again: the panes drawn whole (0), or the 2D panes over what they
// keep and the camera from what it projected last (1). The drag is made in the front pane (2), across
// the sheet, which keeps every depth the camera sees, or in the side pane (1), towards the camera, which
// changes the depths of the triangles dragged.
void BM_VertexDragMoveAndRedraw100kVertices(benchmark::State& state) {
    const bool kept = state.range(0) != 0;
    const auto pane = int(state.range(1));
    std::array<OrthoLayer, 3> layers;
    ProjectionMemo memo;
    Scene scene(317, 317);
    CFacetoDoc& doc = *scene.doc;
    for (int r = 150; r < 182; ++r) {
        for (int c = 150; c < 182; ++c) {
            DocumentEdit::model(doc).vertexInfos[size_t(r * 317 + c)].flags |= VERTEX_SELECTED;
        }
    }
    OrthoEditor editor(pane, scene.app, scene.view);
    PaneHost host;
    const OrthoMapping mapping(scene.view, pane, 800, 500);
    const Pixel hit = mapping.toWindow(doc.frames()[0].positions[160 * 317 + 160]);
    MouseState m;
    m.x = hit.x;
    m.y = hit.y;
    editor.press(doc, MouseButton::Left, m, host);
    m.leftHeld = true;
    int step = 0;
    const FrameVertex start = doc.frames()[0].positions[160 * 317 + 160];
    for (auto _ : state) {
        m.x += (step++ % 2) ? -1 : 1;
        editor.move(doc, m, host);
        for (int orientation = 0; orientation < 3; ++orientation) {
            drawOrthoView(scene.rasterizer, doc, scene.view, orientation, scene.app, 800, 500, &scene.frame,
                          nullptr, kept ? &layers[size_t(orientation)] : nullptr);
        }
        drawCameraView(scene.rasterizer, &doc, scene.view, initialCamera(), 800, 500, &scene.frame, -1,
                       nullptr, kept ? &memo : nullptr);
    }
    const FrameVertex& now = doc.frames()[0].positions[160 * 317 + 160];
    if (step % 2 == 1 && now.x == start.x && now.y == start.y && now.z == start.z) {
        state.SkipWithError("the drag moved nothing");
    }
    state.counters["vertices"] = double(doc.model().vertexCount());
    state.counters["triangles"] = double(doc.model().triangleCount());
}
BENCHMARK(BM_VertexDragMoveAndRedraw100kVertices)
    ->Args({0, 2})
    ->Args({1, 2})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// The depth sort of 200,000 triangle keys of a wavy sheet (many equal keys, as real meshes have).
void BM_DepthSort200k(benchmark::State& state) {
    Scene scene(317, 317);
    const Mat4 camera = initialCamera();
    std::vector<float> keys;
    for (const Triangle& t : scene.doc->model().triangles) {
        float key = -1e30f;
        for (int32_t v : t.v) {
            const FrameVertex& p = scene.doc->frames()[0].positions[size_t(v)];
            key = std::max(key, camera.transformPoint(p.x, p.y, p.z).z);
        }
        keys.push_back(key);
    }
    std::vector<float> k(keys.size());
    std::vector<int32_t> idx(keys.size());
    for (auto _ : state) {
        state.PauseTiming();
        k = keys;
        for (size_t i = 0; i < idx.size(); ++i) {
            idx[i] = int32_t(i);
        }
        state.ResumeTiming();
        Rasterizer::sortByDepth(k.data(), idx.data(), 0, int(k.size()) - 1);
    }
}
BENCHMARK(BM_DepthSort200k)->Unit(benchmark::kMillisecond);

// The animation player's work per timer tick: the preview drawn at the panel's size (270 x 185) and
// full screen (1280 x 800), for the sample robot and for a model of 4096 triangles.
void previewFrame(benchmark::State& state, CFacetoDoc& doc, Rasterizer& r, int width, int height) {
    PreviewSettings settings;
    NullFrame frame;
    int step = 0;
    for (auto _ : state) {
        settings.shownFrame = step++ % int(doc.frames().size());
        drawPreview(r, &doc, settings, initialCamera(), width, height, &frame);
    }
}

void BM_PreviewSampleRobot(benchmark::State& state) {
    Scene scene(2, 2);
    scene.doc = std::make_unique<CFacetoDoc>(scene.profile, scene.host, scene.tables);
    if (!scene.doc->onOpenDocument(FACETO_SAMPLE)) {
        state.SkipWithError("no sample model");
        return;
    }
    previewFrame(state, *scene.doc, scene.rasterizer, int(state.range(0)), int(state.range(1)));
}
BENCHMARK(BM_PreviewSampleRobot)->Args({270, 185})->Args({1280, 800})->Unit(benchmark::kMicrosecond);

void BM_Preview4096Triangles(benchmark::State& state) {
    Scene scene(65, 33, 4096);
    previewFrame(state, *scene.doc, scene.rasterizer, int(state.range(0)), int(state.range(1)));
    state.counters["triangles"] = double(scene.doc->model().triangleCount());
}
BENCHMARK(BM_Preview4096Triangles)->Args({270, 185})->Args({1280, 800})->Unit(benchmark::kMicrosecond);

// Fill rate: two triangles covering a 1024 x 1024 frame, against memset of the same bytes.
constexpr int SIDE = 1024;
const int32_t COVER_A[] = {0, 0, SIDE - 1, 0, SIDE - 1, SIDE - 1, 0, 0};
const int32_t COVER_B[] = {0, 0, SIDE - 1, SIDE - 1, 0, SIDE - 1, 0, 0};

void BM_FillFlatFullFrame(benchmark::State& state) {
    Scene scene(2, 2);
    scene.rasterizer.beginFrame(nullptr, SIDE, SIDE, 0);
    for (auto _ : state) {
        scene.rasterizer.fillFlatPolygon(COVER_A, 3, 5);
        scene.rasterizer.fillFlatPolygon(COVER_B, 3, 6);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * SIDE * SIDE);
}
BENCHMARK(BM_FillFlatFullFrame)->Unit(benchmark::kMillisecond);

void BM_FillTexturedFullFrame(benchmark::State& state) {
    Scene scene(2, 2);
    const Skin& skin = scene.doc->model().skins[0];
    scene.rasterizer.beginFrame(nullptr, SIDE, SIDE, 0);
    const int32_t a[] = {0, 0, 0, 0, SIDE - 1, 0, 255, 0, SIDE - 1, SIDE - 1, 255, 255, 0, 0, 0, 0};
    const int32_t b[] = {0, 0, 0, 0, SIDE - 1, SIDE - 1, 255, 255, 0, SIDE - 1, 0, 255, 0, 0, 0, 0};
    for (auto _ : state) {
        scene.rasterizer.fillTexturedPolygon(a, 3, skin);
        scene.rasterizer.fillTexturedPolygon(b, 3, skin);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * SIDE * SIDE);
}
BENCHMARK(BM_FillTexturedFullFrame)->Unit(benchmark::kMillisecond);

// The same lit: a light value a corner, through the colour map.
void BM_FillTexturedShadedFullFrame(benchmark::State& state) {
    Scene scene(2, 2);
    const Skin& skin = scene.doc->model().skins[0];
    scene.rasterizer.beginFrame(nullptr, SIDE, SIDE, 0);
    constexpr int32_t LIT = 20; // a light row
    const int32_t a[] = {0,        0,        0,   0,   0,   SIDE - 1, 0, 255, 0, LIT,
                         SIDE - 1, SIDE - 1, 255, 255, LIT, 0,        0, 0,   0, 0};
    const int32_t b[] = {0, 0,        0, 0,   0,   SIDE - 1, SIDE - 1, 255, 255, LIT,
                         0, SIDE - 1, 0, 255, LIT, 0,        0,        0,   0,   0};
    for (auto _ : state) {
        scene.rasterizer.fillTexturedShadedPolygon(a, 3, skin);
        scene.rasterizer.fillTexturedShadedPolygon(b, 3, skin);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * SIDE * SIDE);
}
BENCHMARK(BM_FillTexturedShadedFullFrame)->Unit(benchmark::kMillisecond);

void BM_MemsetSameBytes(benchmark::State& state) {
    std::vector<uint8_t> frame(size_t(SIDE) * SIDE);
    for (auto _ : state) {
        std::memset(frame.data(), 5, frame.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * SIDE * SIDE);
}
BENCHMARK(BM_MemsetSameBytes)->Unit(benchmark::kMillisecond);

// The peer: Qt's raster engine fills the triangles the camera view fills (projected the same way,
// far ones first), flat, without antialiasing, on a 1023 x 1023 RGB32 image.
void BM_QtRasterSameTriangles100k(benchmark::State& state) {
    Scene scene(224, 224);
    const CFacetoDoc& doc = *scene.doc;
    const Mat4 camera = initialCamera();
    const Projection projection(1024, 1023);
    std::vector<QPolygon> polygons;
    for (const Triangle& t : doc.model().triangles) {
        QPolygon polygon;
        for (int32_t v : t.v) {
            const FrameVertex& p = doc.frames()[0].positions[size_t(v)];
            const Pixel q = projection.project(camera.transformPoint(p.x, p.y, p.z));
            polygon << QPoint(q.x, 1022 - q.y);
        }
        polygons.push_back(polygon);
    }
    QImage image(1023, 1023, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::NoPen);
        painter.fillRect(image.rect(), Qt::black);
        for (size_t i = 0; i < polygons.size(); ++i) {
            painter.setBrush(QColor::fromRgb(QRgb(0xFF000000 | (i * 2654435761u & 0xFFFFFF))));
            painter.drawPolygon(polygons[i]);
        }
    }
    state.counters["triangles"] = double(polygons.size());
}
BENCHMARK(BM_QtRasterSameTriangles100k)->Unit(benchmark::kMillisecond);

// The skin view's redraw: a 640 x 480 skin with a map of 4,096 triangles over it (a quarter of the
// vertices selected), into a pane of 800 x 600 showing the whole skin.
void BM_SkinViewRedraw4096Triangles(benchmark::State& state) {
    MemoryProfile profile;
    NullHost host;
    const PaletteTables tables = PaletteTables::builtIn();
    CFacetoDoc doc(profile, host, tables);
    ModelData data = makeGridModel(47, 47, 1, 4096);
    for (Triangle& t : data.model.triangles) {
        for (auto& st : t.st) {
            st = {st[0] * 640.0f / 256.0f, st[1] * 480.0f / 256.0f};
        }
    }
    for (size_t v = 0; v < data.model.vertexInfos.size(); v += 4) {
        data.model.vertexInfos[v].flags |= VERTEX_SELECTED;
    }
    Skin skin = blankSkin(640, 480, tables.palette);
    for (size_t i = 0; i < skin.pixels.size(); ++i) {
        skin.pixels[i] = uint8_t(i * 2654435761u >> 24);
    }
    data.model.skins.push_back(std::move(skin));
    DocumentEdit::model(doc) = std::move(data.model);
    DocumentEdit::frames(doc) = std::move(data.frames);
    SkinViewState view;
    view.fit(640, 480, 800, 600);
    SkinPictureCache cache;
    QImage pane(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&pane);
        drawSkinView(painter, doc, view, pane.width(), pane.height(), cache);
    }
    state.counters["triangles"] = double(doc.model().triangles.size());
}
BENCHMARK(BM_SkinViewRedraw4096Triangles)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
