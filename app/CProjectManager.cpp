#include "app/CProjectManager.h"

#include "app/CAnimationPlayer.h"
#include "app/CFacetoApp.h"
#include "app/CGridPanel.h"
#include "app/CMainFrame.h"
#include "app/CPrimitivesPanel.h"
#include "app/Dialogs.h"
#include "document/EditOperations.h"
#include "document/FrameOperations.h"
#include "views/CFlatBitmapButton.h"
#include "views/Framing.h"

#include <QComboBox>
#include <QDockWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <optional>
#include <string>

namespace faceto {

namespace {

QIcon groupImage(bool visible) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (visible) {
        p.setPen(QPen(QColor(20, 20, 30), 1.2));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(1.5, 4.5, 13, 7));
        p.setBrush(QColor(40, 110, 200));
        p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
    } else {
        p.setPen(QPen(QColor(150, 150, 150), 1.5));
        p.drawLine(QPointF(2, 8), QPointF(14, 8));
    }
    return QIcon(pixmap);
}

// Adds the shape where the 2D views look (each axis from the views that show it), a quarter of the
// model's size across (16 units in an empty model).
void addPrimitiveInView(CFacetoDoc& doc, const ViewState& view, Primitive shape) {
    std::array<float, 3> sum{0, 0, 0};
    std::array<int, 3> count{0, 0, 0};
    for (const OrthoViewState& s : view.orthoViews) {
        sum[size_t(s.axisU)] += s.centerU;
        sum[size_t(s.axisV)] += s.centerV;
        ++count[size_t(s.axisU)];
        ++count[size_t(s.axisV)];
    }
    std::array<float, 3> centre{};
    for (size_t a = 0; a < 3; ++a) {
        centre[a] = count[a] ? sum[a] / float(count[a]) : 0.0f;
    }
    const Bounds bounds = frameBounds(doc, false);
    float size = 16.0f;
    if (bounds.valid) {
        const float extent =
            std::max({bounds.hi[0] - bounds.lo[0], bounds.hi[1] - bounds.lo[1], bounds.hi[2] - bounds.lo[2]});
        size = extent > 0.0f ? extent / 4.0f : size;
    }
    addPrimitive(doc, shape, centre, size);
}

} // namespace

CProjectManager::CProjectManager(CFacetoApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    // Three parts one above the other, each as tall as the user drags it: the sub-panels, the animations
    // with their frames, and the groups; the lists scroll.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(3, 3, 3, 3);
    auto* parts = new QSplitter(Qt::Vertical, this);
    parts->setChildrenCollapsible(false);
    outer->addWidget(parts);
    auto* top = new QWidget(parts);
    auto* layout = new QVBoxLayout(top);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* choose = new QHBoxLayout();
    const char names[4] = {'A', 'T', 'G', 'P'};
    for (int i = 0; i < 4; ++i) {
        panelButtons_[i] = new CFlatBitmapButton(QString(names[i]), this);
        choose->addWidget(panelButtons_[i]);
    }
    layout->addLayout(choose);
    stack_ = new QStackedWidget(this);
    player_ = new CAnimationPlayer(app_, stack_);
    grid_ = new CGridPanel(app_, stack_);
    primitives_ = new CPrimitivesPanel(stack_);
    tools_ = makeToolsPage();
    stack_->addWidget(player_);
    stack_->addWidget(tools_);
    stack_->addWidget(grid_);
    stack_->addWidget(primitives_);
    stack_->setCurrentWidget(player_);
    layout->addWidget(stack_);

    auto* middle = new QWidget(parts);
    layout = new QVBoxLayout(middle);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* insDel = new QHBoxLayout();
    ins_ = new QPushButton(tr("Ins"), this);
    del_ = new QPushButton(tr("Del"), this);
    insDel->addWidget(ins_);
    insDel->addWidget(del_);
    layout->addLayout(insDel);
    animations_ = new QComboBox(this);
    animations_->setAccessibleName(tr("Animation"));
    layout->addWidget(animations_);
    caption_ = new QLabel(this);
    layout->addWidget(caption_);
    frames_ = new QListWidget(this);
    frames_->setAccessibleName(tr("Frames"));
    frames_->setContextMenuPolicy(Qt::CustomContextMenu);
    frames_->setMinimumHeight(40);
    frames_->setDragDropMode(QAbstractItemView::InternalMove); // a frame dragged to another place moves
    layout->addWidget(frames_, 1);
    groups_ = new QTreeWidget(parts);
    groups_->setAccessibleName(tr("Groups"));
    groups_->setHeaderHidden(true);
    groups_->setRootIsDecorated(false);
    groups_->setIconSize(QSize(16, 16));
    groups_->setContextMenuPolicy(Qt::CustomContextMenu);
    groups_->setMinimumHeight(40);
    groups_->setToolTip(tr("Click the eye of a group to show or hide it; right-click for more"));
    groups_->viewport()->installEventFilter(this);
    parts->setStretchFactor(0, 0);
    parts->setStretchFactor(1, 1);
    parts->setStretchFactor(2, 1);
    connectControls();
}

// The sub-panel buttons, the lists and their menus, and the documents' notices.
void CProjectManager::connectControls() {
    connect(panelButtons_[0], &QAbstractButton::clicked, this, [this] { showPage(player_); });
    connect(panelButtons_[1], &QAbstractButton::clicked, this, [this] { showPage(tools_); });
    connect(panelButtons_[2], &QAbstractButton::clicked, this, [this] { showPage(grid_); });
    connect(panelButtons_[3], &QAbstractButton::clicked, this, [this] { showPage(primitives_); });
    connect(primitives_, &CPrimitivesPanel::shapeChosen, this, [this](Primitive shape) {
        if (CFacetoDoc* doc = document()) {
            addPrimitiveInView(*doc, app_.viewOf(*doc), shape);
        }
    });
    connect(ins_, &QPushButton::clicked, this, &CProjectManager::addAnimation);
    connect(del_, &QPushButton::clicked, this, &CProjectManager::deleteAnimation);
    connect(animations_, &QComboBox::activated, this, &CProjectManager::animationChosen);
    connect(frames_, &QListWidget::itemClicked, this, &CProjectManager::frameClicked);
    connect(frames_, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        frameMenu(frames_->itemAt(at))->popup(frames_->viewport()->mapToGlobal(at));
    });
    connect(groups_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        groupMenu(groups_->itemAt(at))->popup(groups_->viewport()->mapToGlobal(at));
    });
    connect(frames_->model(), &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex&, int start, int, const QModelIndex&, int row) {
                frameDropped(start, row);
            });
    frames_->installEventFilter(this);
    connect(&app_, &CFacetoApp::activeDocumentChanged, this, [this] { refresh(); });
    // The lists show the frames, animations and groups (with their eyes) and the counts.
    connect(&app_, &CFacetoApp::changeNoticed, this, [this](CFacetoDoc* doc, ChangeNotice notice) {
        if (doc == document() && notice.touches(change::FRAMES | change::TOPOLOGY | change::VISIBILITY)) {
            refresh();
        }
    });
    refresh();
}

CFlatBitmapButton* CProjectManager::panelButton(char name) const {
    const char names[4] = {'A', 'T', 'G', 'P'};
    for (int i = 0; i < 4; ++i) {
        if (names[i] == name) {
            return panelButtons_[i];
        }
    }
    return nullptr;
}

CFacetoDoc* CProjectManager::document() const {
    return app_.state().activeDocument;
}

void CProjectManager::showPage(QWidget* page) {
    stack_->setCurrentWidget(page);
    stack_->show();
    if (QWidget* dock = app_.mainFrame() ? (QWidget*)app_.mainFrame()->dialogBar() : nullptr) {
        dock->show();
    }
    emit pageChanged();
}

bool CProjectManager::playerShown() const {
    return !stack_->isHidden() && stack_->currentWidget() == player_;
}

void CProjectManager::setPlayerShown(bool shown) {
    if (shown) {
        showPage(player_);
    } else if (playerShown()) {
        stack_->hide(); // the player stops while hidden
        emit pageChanged();
    }
}

void CProjectManager::focusFrameList() {
    showPage(stack_->currentWidget());
    frames_->setFocus(Qt::OtherFocusReason);
}

void CProjectManager::focusGroupTree() {
    showPage(stack_->currentWidget());
    groups_->setFocus(Qt::OtherFocusReason);
}

// The tool and level buttons of the toolbar, for a panel the user keeps open.
QWidget* CProjectManager::makeToolsPage() {
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    const char* const rows[3][4] = {{"toolEdit", "toolMoveZoom", "toolScale", "toolRotate"},
                                    {"levelObject", "levelGroup", "levelTriangle", "levelVertex"},
                                    {"skeletonMode", "lockX", "lockY", "lockZ"}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            auto* button = new QToolButton(page);
            button->setDefaultAction(app_.mainFrame()->action(rows[r][c]));
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            layout->addWidget(button, r, c);
        }
    }
    layout->setRowStretch(3, 1);
    return page;
}

int CProjectManager::chosenFrame() const {
    const CFacetoDoc* doc = document();
    const QListWidgetItem* item = frames_->currentItem();
    if (doc == nullptr || item == nullptr) {
        return -1;
    }
    const int frame = item->data(Qt::UserRole).toInt();
    return frame >= 0 && size_t(frame) < doc->frames().size() ? frame : -1;
}

bool CProjectManager::deleteChosenFrame() {
    CFacetoDoc* doc = document();
    const int frame = chosenFrame();
    if (doc == nullptr || frame < 0) {
        return false;
    }
    deleteFrameAt(*doc, frame);
    refresh();
    return true;
}

void CProjectManager::refresh() {
    if (refreshing_) {
        return;
    }
    refreshing_ = true;
    ++rebuilds_;
    frames_->clear();
    animations_->clear();
    groups_->clear();
    const CFacetoDoc* doc = document();
    if (doc != nullptr) {
        // Every animation is listed (one of frames without digits has no name of its own); the current
        // one is chosen in the list.
        for (size_t a = 0; a < doc->animations().size(); ++a) {
            const std::string& name = doc->animations()[a].name;
            animations_->addItem(name.empty() ? tr(NO_NAME) : QString::fromStdString(name), int(a));
            if (int(a) == doc->currentAnimationIndex()) {
                animations_->setCurrentIndex(animations_->count() - 1);
            }
        }
        if (const Animation* current = doc->currentAnimation()) {
            for (int32_t f : current->frameIndices) {
                const std::string& name = doc->frames()[size_t(f)].name;
                if (name.empty()) {
                    continue;
                }
                auto* item = new QListWidgetItem(QString::fromStdString(name), frames_);
                item->setData(Qt::UserRole, int(f)); // the frame itself, whatever its name
                if (f == doc->currentFrameIndex()) {
                    frames_->setCurrentItem(item);
                }
            }
        }
        const std::vector<bool> shown = groupsShown(doc->model());
        for (size_t g = 0; g < doc->model().groups.size(); ++g) {
            const Group& group = doc->model().groups[g];
            auto* item = new QTreeWidgetItem(groups_, {QString::fromStdString(group.name)});
            item->setIcon(0, groupImage(shown[g]));
            item->setData(0, Qt::UserRole, int(g));
        }
        caption_->setText(tr("Tri: %1\nVert: %2\nAnim: %3\nFram: %4")
                              .arg(doc->model().triangleCount())
                              .arg(doc->model().vertexCount())
                              .arg(doc->animations().size())
                              .arg(doc->frames().size()));
    } else {
        caption_->setText(tr("Tri:\nVert:\nAnim:\nFram:"));
    }
    refreshing_ = false;
}

void CProjectManager::animationChosen(int index) {
    if (CFacetoDoc* doc = document(); doc != nullptr && index >= 0) {
        selectAnimation(*doc, animations_->itemData(index).toInt());
        refresh();
    }
}

void CProjectManager::frameClicked() {
    CFacetoDoc* doc = document();
    QListWidgetItem* item = frames_->currentItem();
    if (doc != nullptr && item != nullptr) {
        selectFrameByName(*doc, item->text().toStdString());
    }
}

// A key in the frame list: the frame it moves to becomes current, then the lists are read again. A
// click on a group's eye shows or hides the group.
bool CProjectManager::eventFilter(QObject* watched, QEvent* event) {
    if (watched == groups_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* click = static_cast<QMouseEvent*>(event);
        QTreeWidgetItem* item = groups_->itemAt(click->position().toPoint());
        CFacetoDoc* doc = document();
        if (item != nullptr && doc != nullptr && click->button() == Qt::LeftButton &&
            click->position().x() < groups_->visualItemRect(item).left() + groups_->iconSize().width() + 6) {
            toggleGroupVisibility(*doc, item->data(0, Qt::UserRole).toInt());
            refresh();
            return true;
        }
    }
    if (watched == frames_ && event->type() == QEvent::KeyPress) {
        const QString before = frames_->currentItem() ? frames_->currentItem()->text() : QString();
        // After the list has handled the key.
        QTimer::singleShot(0, this, [this, before] {
            if (frames_->currentItem() && frames_->currentItem()->text() != before) {
                frameClicked();
            }
            refresh();
        });
    }
    return QWidget::eventFilter(watched, event);
}

void CProjectManager::addAnimation() {
    CFacetoDoc* doc = document();
    if (doc == nullptr) {
        return;
    }
    AddAnimationDialog dialog(this);
    if (app_.dialogs().run(dialog) == QDialog::Accepted) {
        faceto::addAnimation(*doc, dialog.name().toStdString());
        refresh();
    }
}

void CProjectManager::deleteAnimation() {
    CFacetoDoc* doc = document();
    if (doc == nullptr) {
        return;
    }
    const QString name = animations_->currentText();
    if (app_.dialogs().askYesNo(
            this, tr("Are you sure you want to delete %1 and all of the associated frames?").arg(name))) {
        deleteCurrentAnimation(*doc);
    }
    refresh();
    doc->updateAllViews();
}

QMenu* CProjectManager::frameMenu(QListWidgetItem* hit) {
    delete menu_;
    menu_ = new QMenu(this);
    CFacetoDoc* doc = document();
    // The menu is of the frame right-clicked, which becomes the chosen one.
    if (hit != nullptr) {
        frames_->setCurrentItem(hit);
    }
    std::optional<std::string> selected;
    if (const QListWidgetItem* item = frames_->currentItem()) {
        selected = item->text().toStdString();
    }
    const int chosen = chosenFrame();
    const bool frameHeld = app_.state().clipboard.kind() == FrameClipboard::FRAME;
    menu_
        ->addAction(tr("Cut"), this,
                    [this, doc, chosen] {
                        if (doc && chosen >= 0) {
                            cutFrameAt(*doc, app_.state().clipboard, chosen);
                            refresh();
                        }
                    })
        ->setEnabled(chosen >= 0);
    menu_
        ->addAction(tr("Copy"), this,
                    [this, doc, chosen] {
                        if (doc && chosen >= 0) {
                            copyFrameAt(*doc, app_.state().clipboard, chosen);
                        }
                    })
        ->setEnabled(chosen >= 0);
    for (InsertPlace place : {InsertPlace::Before, InsertPlace::After}) {
        QAction* insert = menu_->addAction(
            place == InsertPlace::Before ? tr("Insert Before") : tr("Insert After"), this,
            [this, doc, selected, place] {
                if (!doc) {
                    return;
                }
                insertFrame(*doc, app_.state().clipboard, place,
                            selected ? std::optional<std::string_view>(*selected) : std::nullopt);
                refresh();
            });
        insert->setEnabled(frameHeld);
    }
    menu_->addSeparator();
    menu_
        ->addAction(tr("New"), this,
                    [this, doc] {
                        if (doc && newFrameAfterCurrent(*doc)) {
                            refresh();
                        }
                    })
        ->setEnabled(doc && doc->currentFrame());
    menu_
        ->addAction(tr("Properties"), this,
                    [this, doc, chosen] {
                        NameDialog dialog(tr("Frame Properties"),
                                          QString::fromStdString(doc->frames()[size_t(chosen)].name), this);
                        if (app_.dialogs().run(dialog) == QDialog::Accepted &&
                            !dialog.name().trimmed().isEmpty()) {
                            renameFrame(*doc, chosen, dialog.name().trimmed().toStdString());
                            refresh();
                        }
                    })
        ->setEnabled(chosen >= 0);
    menu_->addAction(tr("Delete"), this, [this] { deleteChosenFrame(); })->setEnabled(chosen >= 0);
    menu_->addSeparator();
    for (const char* name :
         {"interpolateFrames", "moveFrameUp", "moveFrameDown", "groupFrames", "ungroupFrames"}) {
        menu_->addAction(app_.mainFrame()->action(name));
    }
    menu_->addSeparator();
    menu_->addAction(app_.mainFrame()->action("generateSkinMap"));
    return menu_;
}

void CProjectManager::frameDropped(int from, int before) {
    CFacetoDoc* doc = document();
    const Animation* animation = doc ? doc->currentAnimation() : nullptr;
    const int to = before > from ? before - 1 : before; // the row the frame lies in now
    if (refreshing_ || animation == nullptr || from == to || size_t(from) >= animation->frameIndices.size() ||
        size_t(to) >= animation->frameIndices.size()) {
        return;
    }
    // The frame takes the list place of the frame that was in that row; the list is made again after.
    const int32_t frame = animation->frameIndices[size_t(from)];
    const int32_t place = animation->frameIndices[size_t(to)];
    QTimer::singleShot(0, this, [this, doc, frame, place] {
        if (doc == document()) {
            moveFrame(*doc, frame, place - frame);
        }
        refresh();
    });
}

QMenu* CProjectManager::groupMenu(QTreeWidgetItem* hit) {
    delete menu_;
    menu_ = new QMenu(this);
    CFacetoDoc* doc = document();
    if (hit != nullptr) {
        groups_->setCurrentItem(hit);
    }
    const int group = hit ? hit->data(0, Qt::UserRole).toInt() : -1;
    QAction* visible = menu_->addAction(tr("Visible"), this, [this, doc, group] {
        if (doc) {
            toggleGroupVisibility(*doc, group);
            refresh();
        }
    });
    visible->setCheckable(true);
    visible->setEnabled(hit != nullptr);
    visible->setChecked(doc && group >= 0 && size_t(group) < doc->model().groups.size() &&
                        groupsShown(doc->model())[size_t(group)]);
    const bool onGroup = doc && group >= 0 && size_t(group) < doc->model().groups.size();
    menu_
        ->addAction(
            tr("Properties"), this,
            [this, doc, group] {
                NameDialog dialog(tr("Group Properties"),
                                  QString::fromStdString(doc->model().groups[size_t(group)].name), this);
                if (app_.dialogs().run(dialog) == QDialog::Accepted && !dialog.name().trimmed().isEmpty()) {
                    renameGroup(*doc, group, dialog.name().trimmed().toStdString());
                    refresh();
                }
            })
        ->setEnabled(onGroup);
    menu_
        ->addAction(tr("New"), this,
                    [this, doc] {
                        if (!newGroupFromSelection(*doc)) {
                            app_.dialogs().message(
                                this,
                                tr("Select the triangles of the new group first: a triangle belongs to it "
                                   "when its three vertices are selected."));
                        }
                        refresh();
                    })
        ->setEnabled(doc != nullptr);
    menu_
        ->addAction(
            tr("Delete"), this,
            [this, doc, group] {
                const QString name = QString::fromStdString(doc->model().groups[size_t(group)].name);
                if (app_.dialogs().askYesNo(
                        this,
                        tr("Are you sure you want to delete the group %1 and its triangles?").arg(name))) {
                    deleteGroup(*doc, group);
                    refresh();
                }
            })
        ->setEnabled(onGroup);
    return menu_;
}

} // namespace faceto
