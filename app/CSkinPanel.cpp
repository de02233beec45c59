#include "app/CSkinPanel.h"

#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "document/GroupOperations.h"
#include "views/CSkinView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QStandardItemModel>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace faceto {

namespace {

struct SkinEntry {
    QString text;
    int skin = -1; // -1: the heading of a skin group, not a skin to choose
};

QString pictureSize(const Skin& skin) {
    return QString("(%1 x %2)").arg(skin.imageWidth).arg(skin.imageHeight);
}

// The drop-down's entries: one a skin, except that a Quake skin group is listed as one group, headed
// by how many pictures it cycles through, each picture under it with how long it shows.
std::vector<SkinEntry> skinEntries(const CFacetoDoc& doc) {
    const std::vector<Skin>& skins = doc.model().skins;
    std::vector<SkinEntry> out;
    const QuakeGroups groups = skinGroupsOf(doc); // each skin its own where the groups do not fit
    size_t next = 0;
    for (size_t g = 0; g < groups.size(); ++g) {
        const QuakeFields::Group& group = groups[g];
        const bool grouped = group.grouped && group.count > 0;
        if (grouped) {
            out.push_back({CSkinPanel::tr("Group %1: %2 pictures").arg(g).arg(group.count), -1});
        }
        for (int k = 0; k < std::max(group.count, 1) && next < skins.size(); ++k, ++next) {
            const Skin& skin = skins[next];
            if (!grouped) {
                out.push_back(
                    {QString("%1: %2 %3")
                         .arg(next)
                         .arg(skin.name.empty() ? CSkinPanel::tr("skin") : QString::fromStdString(skin.name))
                         .arg(pictureSize(skin)),
                     int(next)});
                continue;
            }
            // Each interval is the time at which its picture ends.
            const float end = size_t(k) < group.intervals.size() ? group.intervals[size_t(k)] : 0.0f;
            const float start =
                k > 0 && size_t(k - 1) < group.intervals.size() ? group.intervals[size_t(k - 1)] : 0.0f;
            out.push_back({CSkinPanel::tr("    %1: picture %2 of %3, %4 s %5")
                               .arg(next)
                               .arg(k + 1)
                               .arg(group.count)
                               .arg(double(end - start), 0, 'g', 3)
                               .arg(pictureSize(skin)),
                           int(next)});
        }
    }
    return out;
}

} // namespace

CSkinPanel::CSkinPanel(CFacetoApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* top = new QHBoxLayout();
    combo_ = new QComboBox(this);
    combo_->setAccessibleName(tr("Skin"));
    combo_->setToolTip(tr("The skin shown here and in the textured views"));
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo_->setMinimumContentsLength(8);
    top->addWidget(combo_, 1);
    snap_ = new QCheckBox(tr("Snap to texels"), this);
    snap_->setToolTip(tr("Moved, scaled and turned skin coordinates land on whole texels"));
    top->addWidget(snap_);
    layout->addLayout(top);
    // The commands in two rows of three, so that all show in a narrow dock.
    auto* commands = new QGridLayout();
    commands->setSpacing(2);
    int n = 0;
    for (const char* name : {"newSkin", "deleteSkin", "resizeSkin", "generateSkinMap", "importSkin",
                             "exportSkin", "groupSkins", "ungroupSkins"}) {
        auto* button = new QToolButton(this);
        button->setDefaultAction(app_.mainFrame()->action(name));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        commands->addWidget(button, n / 3, n % 3);
        buttons_.push_back(button);
        ++n;
    }
    // Beside the group commands: whether a group plays.
    play_ = new QCheckBox(tr("Play groups"), this);
    play_->setToolTip(tr("A skin group shows its pictures at their intervals, as the game does"));
    play_->setChecked(true);
    commands->addWidget(play_, n / 3, n % 3);
    layout->addLayout(commands);
    view_ = new CSkinView(app_.state(), this);
    layout->addWidget(view_, 1);

    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int entry) {
        CFacetoDoc* doc = app_.state().activeDocument;
        const int index = entry < 0 ? -1 : combo_->itemData(entry).toInt();
        if (refreshing_ || doc == nullptr || index < 0 || index == doc->currentSkin()) {
            return;
        }
        doc->setCurrentSkin(index); // a way of looking, not an edit: the textured views follow
        view_->viewState().fitted = false;
        doc->changed({change::SKINS | change::VIEW});
    });
    connect(snap_, &QCheckBox::toggled, view_, &CSkinView::setSnapToTexels);
    playTimer_.setSingleShot(true);
    connect(&playTimer_, &QTimer::timeout, this, &CSkinPanel::playSkinGroups);
    connect(play_, &QCheckBox::toggled, this, &CSkinPanel::playSkinGroups);
    connect(&app_, &CFacetoApp::activeDocumentChanged, this, [this] {
        refresh();
        playSkinGroups();
    });
    // The drop-down lists the skins; the view shows the skin map with the selection.
    connect(&app_, &CFacetoApp::changeNoticed, this, [this](CFacetoDoc* doc, ChangeNotice notice) {
        if (doc != app_.state().activeDocument) {
            return;
        }
        if (notice.touches(change::SKINS | change::VIEW)) {
            refresh();
            playSkinGroups();
        } else if (notice.touches(change::SKIN_PLAY)) {
            view_->update();
        } else if (notice.touches(change::SELECTION | change::TOPOLOGY | change::VISIBILITY |
                                  change::FRAMES)) {
            view_->update();
        }
    });
    refresh();
}

void CSkinPanel::playSkinGroups() {
    CFacetoDoc* active = app_.state().activeDocument;
    for (const auto& doc : app_.documents()) {
        if (doc.get() != active && doc->skinPlayTime() >= 0.0) {
            doc->setSkinPlayTime(-1.0);
            doc->changed({change::SKIN_PLAY});
        }
    }
    if (active == nullptr || !play_->isChecked() || !skinInGroup(*active, active->currentSkin())) {
        playTimer_.stop();
        if (active != nullptr && active->skinPlayTime() >= 0.0) {
            active->setSkinPlayTime(-1.0);
            active->changed({change::SKIN_PLAY});
        }
        return;
    }
    if (!clock_.isValid()) {
        clock_.start();
    }
    const double now = double(clock_.elapsed()) / 1000.0;
    const int32_t before = active->skinPlayTime() >= 0.0 ? playedSkin(*active) : -1;
    active->setSkinPlayTime(now);
    if (playedSkin(*active) != before) {
        active->changed({change::SKIN_PLAY});
    }
    const double next = nextSkinChange(*active, now);
    if (next >= now) {
        playTimer_.start(int(std::ceil((next - now) * 1000.0)) + 1);
    }
}

void CSkinPanel::refresh() {
    refreshing_ = true;
    ++rebuilds_;
    CFacetoDoc* doc = app_.state().activeDocument;
    view_->setDocument(doc);
    const std::vector<SkinEntry> entries = doc != nullptr ? skinEntries(*doc) : std::vector<SkinEntry>{};
    bool same = int(entries.size()) == combo_->count();
    for (size_t i = 0; same && i < entries.size(); ++i) {
        same = combo_->itemText(int(i)) == entries[i].text &&
               combo_->itemData(int(i)).toInt() == entries[i].skin;
    }
    if (!same) {
        combo_->clear();
        for (const SkinEntry& entry : entries) {
            combo_->addItem(entry.text, entry.skin);
            if (entry.skin < 0) {
                // A group's heading is shown, not chosen.
                auto* items = qobject_cast<QStandardItemModel*>(combo_->model());
                items->item(combo_->count() - 1)->setFlags(Qt::NoItemFlags);
            }
        }
    }
    if (doc != nullptr && !entries.empty()) {
        const int current = std::clamp(doc->currentSkin(), 0, int(doc->model().skins.size()) - 1);
        combo_->setCurrentIndex(combo_->findData(current));
    }
    combo_->setEnabled(!entries.empty());
    refreshing_ = false;
}

} // namespace faceto
