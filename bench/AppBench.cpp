// The time from the start of the editor to its first painted document (the sample robot), and the
// cost of one animation player tick with the preview painted on screen.
#include "app/CAnimationPlayer.h"
#include "app/CFacetoApp.h"
#include "app/CGridPanel.h"
#include "app/CMainFrame.h"
#include "app/CPrimitivesPanel.h"
#include "app/CProjectManager.h"
#include "views/CAnimationView.h"
#include "views/CCameraView.h"

#include <QApplication>
#include <QElapsedTimer>
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
