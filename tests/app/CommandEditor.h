#pragma once

#include "EditorFixture.h"
#include "app/CProjectManager.h"
#include "document/DocumentEdit.h"
#include "views/C2DView.h"
#include "views/CCameraView.h"
#include "views/OrthoView.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>

namespace faceto::test {

// Two squares side by side in the y-z plane, each of two triangles, in groups "left" and "right", in
// two frames ("run1", "run2"; the second 5 units further along x); the front view (y right, z up)
// shows them face on, and so does the camera, which looks at their front (corners clockwise).
//   2---3   6---7
//   | \ |   | \ |
//   0---1   4---5
struct CommandEditor : Editor {
    CFacetoDoc* doc = nullptr;
    CommandEditor() {
        ModelData data = makeModel(8, {tri(0, 2, 1), tri(2, 3, 1), tri(4, 6, 5), tri(6, 7, 5)}, 2);
        for (int f = 0; f < 2; ++f) {
            Frame& frame = data.frames[size_t(f)];
            frame.name = f == 0 ? "run1" : "run2";
            for (int v = 0; v < 8; ++v) {
                const float y = float((v % 2) * 20 + (v / 4) * 40 - 30);
                const float z = float(((v / 2) % 2) * 20 - 10);
                frame.positions[size_t(v)] = {float(f * 5), y, z};
            }
        }
        for (int t = 0; t < 4; ++t) {
            Triangle& triangle = data.model.triangles[size_t(t)];
            triangle.group = t / 2;
            triangle.color = 100 + 16 * t;
            triangle.st = {{{0, 0}, {10, 0}, {0, 10}}};
        }
        data.model.groups.resize(2);
        data.model.groups[0].name = "left";
        data.model.groups[1].name = "right";
        for (Group& g : data.model.groups) {
            g.flags = GROUP_VISIBLE;
        }
        writeNative(dir.path("squares.fm"), data.model, data.frames, data.source);
        start({path("squares.fm")});
        doc = active();
        QApplication::processEvents();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame()));
    }
    C2DView* front() { return app->activeFrame()->view2D(1, 0); }
    CCameraView* camera() { return app->activeFrame()->cameraView(); }
    CProjectManager& panel() { return *app->projectManager(); }
    // A key as the user presses it in the front view.
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(front(), k, modifiers);
    }
    QPoint at(float y, float z) {
        const OrthoMapping map(shown(doc), front()->orientation(), front()->width(), front()->height());
        const Pixel p = map.toWindow({0, y, z});
        return {p.x, p.y};
    }
    void select(std::initializer_list<int> vertices) {
        doc->selectNone();
        for (int v : vertices) {
            DocumentEdit::model(*doc).vertexInfos[size_t(v)].flags |= VERTEX_SELECTED;
        }
        doc->changed();
    }
    std::vector<int> selected() const {
        std::vector<int> out;
        for (size_t v = 0; v < doc->model().vertexInfos.size(); ++v) {
            if (doc->model().vertexInfos[v].selected()) {
                out.push_back(int(v));
            }
        }
        return out;
    }
    void drag(QWidget* view, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(view, Qt::LeftButton, modifiers, from);
        for (int step = 1; step <= 4; ++step) {
            const QPoint p = from + (to - from) * step / 4;
            QMouseEvent move(QEvent::MouseMove, p, view->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                             modifiers);
            QApplication::sendEvent(view, &move);
        }
        QTest::mouseRelease(view, Qt::LeftButton, modifiers, to);
    }
    QAction* toolbarClick(const char* name) {
        QAction* a = frame().action(name);
        QTest::mouseClick(frame().mainToolBar()->widgetForAction(a), Qt::LeftButton);
        return a;
    }
    QAction* menuAction(QMenu* menu, const QString& text) {
        for (QAction* a : menu->actions()) {
            if (a->text() == text) {
                return a;
            }
        }
        return nullptr;
    }
    QString caption() { return panel().caption()->text(); }
};

} // namespace faceto::test
