#pragma once

#include "document/CFacetoDoc.h"
#include "document/Changes.h"
#include "render/Rasterizer.h"
#include "views/AppState.h"
#include "views/PaneBatch.h"
#include "views/ViewState.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

namespace faceto {

class CFacetoDoc;

// The panes that show each document, each with what it shows, so that a change redraws those that show
// what changed (and not the pane that made it and has already redrawn itself); and how the windows of
// each document show it.
class ViewRegistry {
public:
    // What a pane of the model shows: everything but the undo history and the file's name.
    static constexpr uint32_t MODEL_PANE = change::EVERYTHING & ~(change::HISTORY | change::FILE);

    void add(CFacetoDoc* doc, QWidget* view, uint32_t shows = MODEL_PANE) {
        views_[doc].push_back({view, shows});
    }
    void remove(QWidget* view) {
        for (auto& [doc, list] : views_) {
            std::erase_if(list, [&](const Entry& e) { return e.view == view || e.view.isNull(); });
        }
    }
    // Called with where the pointer is in a 2D view, in world coordinates ("Y 12.50   Z -3.00").
    std::function<void(const QString&)> onPointer;
    // Called with what a drag in a view is doing ("Moving 12 vertices"), and with nothing when it ends.
    std::function<void(const QString&)> onAction;

    // How the windows of `doc` show it, made from the user's settings the first time it is asked for.
    ViewState& stateOf(const CFacetoDoc* doc) {
        if (doc == nullptr) {
            return detached_;
        }
        auto it = states_.find(doc);
        if (it == states_.end()) {
            it = states_.emplace(doc, ViewState(doc->profile(), *doc)).first;
        }
        return it->second;
    }

    // Forgets a document that is closing; its windows are on their way out.
    void removeDocument(CFacetoDoc* doc) {
        views_.erase(doc);
        states_.erase(doc);
    }

    // The panes of the document that show what changed are drawn again; `shownFrame` is the frame they
    // show (positions of another frame alone redraw none).
    void updateViews(CFacetoDoc* doc, const ChangeNotice& notice = {}, const QWidget* except = nullptr,
                     int32_t shownFrame = -1) {
        auto it = views_.find(doc);
        if (it == views_.end() || (shownFrame >= 0 && notice.onlyPositionsOfAnotherFrame(shownFrame))) {
            return;
        }
        for (const Entry& e : it->second) {
            if (e.view && e.view != except && notice.touches(e.shows)) {
                if (auto* pane = dynamic_cast<ConcurrentPane*>(e.view.data())) {
                    pane->requestFrame(); // drawn together with the other panes that wait
                } else {
                    e.view->update();
                }
            }
        }
    }
    std::vector<QWidget*> viewsOf(CFacetoDoc* doc) const {
        std::vector<QWidget*> out;
        auto it = views_.find(doc);
        if (it != views_.end()) {
            for (const Entry& e : it->second) {
                if (e.view) {
                    out.push_back(e.view);
                }
            }
        }
        return out;
    }

private:
    struct Entry {
        QPointer<QWidget> view;
        uint32_t shows;
    };
    std::map<CFacetoDoc*, std::vector<Entry>> views_;
    std::map<const CFacetoDoc*, ViewState> states_;
    ViewState detached_; // what a view without a document is given
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
