// The group commands: skins grouped into one animated skin, frames into one frame group, and back.
#include "app/CChildFrame.h"
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "app/EditorCommands.h"
#include "app/GroupDialog.h"
#include "app/Translation.h"
#include "document/FrameOperations.h"
#include "document/GroupOperations.h"

#include <QAction>

namespace faceto {

namespace {

// The run a group command starts from: the group of `item` with its intervals when it is in one, else
// `item` to `last` with a tenth of a second each.
struct Run {
    int first = 0;
    int last = 0;
    std::vector<float> intervals;
};

Run runAround(const QuakeGroups& groups, int item, int last) {
    if (const std::optional<GroupPlace> place = placeOf(groups, item);
        place && groups[place->entry].grouped) {
        const QuakeFields::Group& g = groups[place->entry];
        return {place->first, place->first + g.count - 1, g.intervals};
    }
    return {item, std::max(last, item), evenIntervals(std::max(last, item) - item + 1)};
}

} // namespace

void EditorCommands::connectGroupCommands() {
    onDocument("groupSkins", [this](CFacetoDoc& doc) {
        const int count = int(doc.model().skins.size());
        if (count < 2) {
            app_.dialogs_.message(app_.mainFrame_, tr("Grouping needs at least two skins."));
            return;
        }
        const int current = std::clamp(doc.currentSkin(), 0, count - 1);
        const Run run = runAround(skinGroupsOf(doc), current, std::min(current + 1, count - 1));
        QStringList names;
        for (int i = 0; i < count; ++i) {
            const std::string& name = doc.model().skins[size_t(i)].name;
            names << QString("%1: %2").arg(i).arg(name.empty() ? tr("skin") : QString::fromStdString(name));
        }
        GroupDialog dialog(tr("Group Skins"), names, run.first, run.last, run.intervals, app_.mainFrame_);
        if (app_.dialogs_.run(dialog) == QDialog::Accepted) {
            if (const std::string why = groupSkins(doc, dialog.first(), dialog.intervals()); !why.empty()) {
                app_.dialogs_.message(app_.mainFrame_, shownText(why));
            }
        }
    });
    onDocument("ungroupSkins", [this](CFacetoDoc& doc) {
        if (!ungroupSkins(doc, doc.currentSkin())) {
            app_.dialogs_.message(app_.mainFrame_, tr("The current skin belongs to no skin group."));
        }
    });
    onDocument("groupFrames", [this](CFacetoDoc& doc) {
        const int count = int(doc.frames().size());
        if (count < 2) {
            app_.dialogs_.message(app_.mainFrame_, tr("Grouping needs at least two frames."));
            return;
        }
        // By default the current frame's animation from that frame on.
        const int current = std::clamp(doc.currentFramePosition(), 0, count - 1);
        int last = current;
        while (const std::optional<int32_t> next = nextFrameOf(doc, last)) {
            if (*next != last + 1) {
                break;
            }
            last = *next;
        }
        const Run run = runAround(frameGroupsOf(doc), current, last == current ? current + 1 : last);
        QStringList names;
        for (const Frame& frame : doc.frames()) {
            names << QString::fromStdString(frame.name);
        }
        GroupDialog dialog(tr("Group Frames"), names, run.first, std::min(run.last, count - 1), run.intervals,
                           app_.mainFrame_);
        if (app_.dialogs_.run(dialog) == QDialog::Accepted) {
            if (const std::string why = groupFrames(doc, dialog.first(), dialog.intervals()); !why.empty()) {
                app_.dialogs_.message(app_.mainFrame_, shownText(why));
            }
        }
    });
    onDocument("ungroupFrames", [this](CFacetoDoc& doc) {
        if (!ungroupFrames(doc, doc.currentFramePosition())) {
            app_.dialogs_.message(app_.mainFrame_, tr("The current frame belongs to no frame group."));
        }
    });
}

void EditorCommands::refreshGroupStates() {
    CChildFrame* frame = app_.activeFrame();
    const CFacetoDoc* doc = frame ? frame->document() : nullptr;
    CMainFrame& f = *app_.mainFrame_;
    f.action("groupSkins")->setEnabled(doc && doc->model().skins.size() >= 2);
    f.action("ungroupSkins")->setEnabled(doc && skinInGroup(*doc, doc->currentSkin()));
    f.action("groupFrames")->setEnabled(doc && doc->frames().size() >= 2);
    f.action("ungroupFrames")->setEnabled(doc && frameInGroup(*doc, doc->currentFramePosition()));
}

} // namespace faceto
