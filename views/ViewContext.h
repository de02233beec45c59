#pragma once

#include "render/Rasterizer.h"
#include "views/AppState.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

namespace faceto {

class CFacetoDoc;

// The windows that show each document, so that a change can redraw all of them (or all but the
// window that made it and has already redrawn itself).
class ViewRegistry {
public:
    void add(CFacetoDoc* doc, QWidget* view) { views_[doc].push_back(view); }
    void remove(QWidget* view) {
        for (auto& [doc, list] : views_) {
            std::erase_if(list, [&](const QPointer<QWidget>& w) { return w == view || w.isNull(); });
        }
    }
    // Called whenever a document's views are redrawn after a change (window titles follow it).
    std::function<void(CFacetoDoc*)> onUpdate;
    // Called with where the pointer is in a 2D view, in world coordinates ("Y 12.50   Z -3.00").
    std::function<void(const QString&)> onPointer;
    // Called with what a drag in a view is doing ("Moving 12 vertices"), and with nothing when it ends.
    std::function<void(const QString&)> onAction;

    // Forgets a document that is closing; its windows are on their way out.
    void removeDocument(CFacetoDoc* doc) { views_.erase(doc); }

    void updateViews(CFacetoDoc* doc, const QWidget* except = nullptr) {
        if (onUpdate) {
            onUpdate(doc);
        }
        auto it = views_.find(doc);
        if (it == views_.end()) {
            return;
        }
        for (const QPointer<QWidget>& view : it->second) {
            if (view && view != except) {
                view->update();
            }
        }
    }
    std::vector<QWidget*> viewsOf(CFacetoDoc* doc) const {
        std::vector<QWidget*> out;
        auto it = views_.find(doc);
        if (it != views_.end()) {
            for (const QPointer<QWidget>& view : it->second) {
                if (view) {
                    out.push_back(view);
                }
            }
        }
        return out;
    }

private:
    std::map<CFacetoDoc*, std::vector<QPointer<QWidget>>> views_;
};

// What every view shares: the application state, the palette and colour map it draws with, and the view
// registry. Each view draws through a rasterizer of its own: nothing of one view's drawing (its frame
// buffer, spans, projected vertices, depth order) can show in another's.
struct ViewContext {
    AppState& app;
    const PaletteTables& tables;
    ViewRegistry& registry;
};

} // namespace faceto
