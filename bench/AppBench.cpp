// The time from the start of the editor to its first painted document (the sample robot), the cost of
// one animation player tick with the preview painted on screen, and of one step of a drag.
#include "BenchMeshes.h"
#include "app/CAnimationPlayer.h"
#include "app/CChildFrame.h"
#include "app/CFacetoApp.h"
#include "app/CGridPanel.h"
#include "app/CMainFrame.h"
#include "app/CPrimitivesPanel.h"
#include "app/CProjectManager.h"
#include "formats/NativeFormat.h"
#include "views/C2DView.h"
#include "views/CAnimationView.h"
#include "views/CCameraView.h"
#include "views/OrthoView.h"
#include "views/PaneBatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
    int paints = 0;
};

class NoDialogs : public faceto::QtDialogs {
public:
    void message(QWidget*, const QString&) override {}
};

void BM_StartUpToFirstPaintedDocument(benchmark::State& state) {
    QTemporaryDir dir;
    NoDialogs dialogs;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto app = std::make_unique<faceto::CFacetoApp>(
            std::make_unique<faceto::QtProfile>(dir.filePath("settings.ini")), dialogs);
        app->startUp({FACETO_SAMPLE});
        QWidget* camera = app->mainFrame()->findChild<faceto::CCameraView*>();
        PaintCounter counter;
        camera->installEventFilter(&counter);
        while (counter.paints == 0) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        camera->removeEventFilter(&counter);
    }
}
BENCHMARK(BM_StartUpToFirstPaintedDocument)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// One tick of the player: the next frame chosen and the preview painted in its panel.
void BM_PlayerTickWithPaint(benchmark::State& state) {
    QTemporaryDir dir;
    NoDialogs dialogs;
    faceto::CFacetoApp app(std::make_unique<faceto::QtProfile>(dir.filePath("settings.ini")), dialogs);
    app.startUp({FACETO_SAMPLE});
    if (!QTest::qWaitForWindowExposed(app.mainFrame())) {
        state.SkipWithError("the window did not show");
        return;
    }
    faceto::CAnimationPlayer& player = *app.projectManager()->player();
    for (auto _ : state) {
        player.tick();
        player.preview()->repaint();
    }
    state.counters["preview_w"] = player.preview()->width();
    state.counters["preview_h"] = player.preview()->height();
}
BENCHMARK(BM_PlayerTickWithPaint)->Unit(benchmark::kMicrosecond);

// The sheet of the drawing benchmarks: in the y-z plane, 80 units across, facing the camera, with a
// group of about 1% of its vertices that stands out of it towards the camera, clear of the waves, where
// the side pane, which sees the sheet edge-on, picks it. `pressed` receives the group's vertex nearest
// the camera.
faceto::ModelData dragModel(size_t& pressed) {
    faceto::ModelData data = faceto::bench::makeGridModel(317, 317, 1);
    const float spacing = 80.0f / 317.0f;
    auto& positions = data.frames[0].positions;
    for (faceto::FrameVertex& v : positions) {
        v = {v.z, -v.x * spacing, v.y * spacing};
    }
    std::vector<bool> lifted(positions.size());
    for (faceto::Triangle& t : data.model.triangles) {
        const int32_t row = t.v[0] / 317;
        const int32_t column = t.v[0] % 317;
        t.group = row >= 150 && row < 182 && column >= 150 && column < 182 ? 1 : 0;
        for (const int32_t v : t.v) {
            lifted[size_t(v)] = lifted[size_t(v)] || t.group == 1;
        }
    }
    pressed = 166 * 317 + 166;
    for (size_t v = 0; v < positions.size(); ++v) {
        if (lifted[v]) {
            positions[v].x += 10.0f;
            pressed = positions[v].x > positions[pressed].x ? v : pressed;
        }
    }
    return data;
}

// One step of a vertex drag in the running editor on a model of 100,000 vertices and 200,000 triangles:
// a mouse move sent to a 2D pane, dragging a group of about 1% of the vertices, and the event loop run
// until the four panes have painted the step. The player's preview follows a drag ten times a second:
// its paints fall into some of the steps (counted). Drawn together (1) or each in its own paint event
// (0); dragged in the front pane (2), across the sheet, which keeps the depths the camera sees, or in
// the side pane (1), towards the camera.
void BM_DragStepInTheEditor(benchmark::State& state) {
    QTemporaryDir dir;
    size_t pressed = 0;
    const faceto::ModelData data = dragModel(pressed);
    const std::string path = dir.filePath("grid.fm").toStdString();
    if (!faceto::writeNative(path, data.model, data.frames, data.source)) {
        state.SkipWithError("the model could not be written");
        return;
    }
    NoDialogs dialogs;
    faceto::CFacetoApp app(std::make_unique<faceto::QtProfile>(dir.filePath("settings.ini")), dialogs);
    app.startUp({QString::fromStdString(path)});
    if (!QTest::qWaitForWindowExposed(app.mainFrame())) {
        state.SkipWithError("the window did not show");
        return;
    }
    faceto::ConcurrentPane::drawTogether(state.range(0) != 0);
    faceto::CChildFrame* window = app.activeFrame();
    std::vector<QWidget*> panes;
    faceto::C2DView* front = nullptr;
    for (faceto::C2DView* pane : {window->view2D(0, 0), window->view2D(0, 1), window->view2D(1, 0)}) {
        panes.push_back(pane);
        front = pane->orientation() == int(state.range(1)) ? pane : front;
    }
    panes.push_back(window->cameraView());
    panes.push_back(app.projectManager()->player()->preview());
    if (front == nullptr) {
        state.SkipWithError("no pane of that orientation");
        return;
    }
    PaintCounter counters[5];
    for (size_t k = 0; k < panes.size(); ++k) {
        panes[k]->installEventFilter(&counters[k]);
    }
    QApplication::processEvents();
    app.state().editLevel = faceto::LEVEL_GROUP;
    faceto::CFacetoDoc& doc = *app.state().activeDocument;
    const faceto::OrthoMapping map(app.viewOf(doc), front->orientation(), front->width(), front->height());
    const faceto::Pixel at = map.toWindow(doc.currentFrame()->positions[pressed]);
    QPoint p(at.x, at.y);
    QTest::mousePress(front, Qt::LeftButton, Qt::NoModifier, p);
    QApplication::processEvents();
    const std::vector<faceto::FrameVertex> start(doc.currentFrame()->positions.begin(),
                                                 doc.currentFrame()->positions.end());
    size_t dragged = 0;
    int step = 0;
    for (auto _ : state) {
        p += QPoint((step++ % 2) ? -1 : 1, 0);
        std::vector<int> before;
        for (const PaintCounter& c : counters) {
            before.push_back(c.paints);
        }
        QMouseEvent move(QEvent::MouseMove, p, front->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(front, &move);
        QElapsedTimer waited;
        waited.start();
        for (size_t k = 0; k + 1 < panes.size(); ++k) {
            while (panes[k]->isVisible() && counters[k].paints == before[k] && waited.elapsed() < 2000) {
                QApplication::processEvents(QEventLoop::AllEvents, 1);
            }
        }
        if (step == 1) {
            state.PauseTiming();
            const auto& now = doc.currentFrame()->positions;
            for (size_t v = 0; v < start.size(); ++v) {
                dragged += now[v].x != start[v].x || now[v].y != start[v].y || now[v].z != start[v].z ? 1 : 0;
            }
            state.ResumeTiming();
        }
    }
    QTest::mouseRelease(front, Qt::LeftButton, Qt::NoModifier, p);
    state.counters["dragged"] = double(dragged);
    faceto::ConcurrentPane::drawTogether(true);
    state.counters["preview_paints"] =
        benchmark::Counter(double(counters[4].paints), benchmark::Counter::kAvgIterations);
    state.counters["camera_w"] = window->cameraView()->width();
    state.counters["camera_h"] = window->cameraView()->height();
    state.counters["vertices"] = double(doc.model().vertexCount());
    state.counters["triangles"] = double(doc.model().triangleCount());
}
BENCHMARK(BM_DragStepInTheEditor)
    ->Args({0, 2})
    ->Args({1, 2})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
