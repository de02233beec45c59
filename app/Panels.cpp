#include "app/Panels.h"

#include "app/CFacetoApp.h"
#include "app/Dialogs.h"
#include "document/FrameOperations.h"
#include "views/CAnimationView.h"
#include "views/CFlatBitmapButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace faceto {

namespace {

constexpr QRgb CLEAR = 0xFFFF00FF; // the pictures' transparent colour

// The player's pictures: 16 x 16 on the transparent colour.
QImage picture(char name) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(CLEAR);
    QPainter p(&image);
    const QColor ink(20, 20, 30);
    p.setPen(QPen(ink, 1));
    switch (name) {
    case 'F': // the corners of a screen
        for (const QPoint c : {QPoint(1, 1), QPoint(14, 1), QPoint(1, 14), QPoint(14, 14)}) {
            const int dx = c.x() < 8 ? 1 : -1;
            const int dy = c.y() < 8 ? 1 : -1;
            p.drawLine(c, c + QPoint(4 * dx, 0));
            p.drawLine(c, c + QPoint(0, 4 * dy));
        }
        p.fillRect(5, 5, 6, 6, QColor(60, 120, 200));
        break;
    case 'V': // vertex dots
        for (const QPoint c : {QPoint(3, 12), QPoint(8, 2), QPoint(13, 12), QPoint(8, 9)}) {
            p.fillRect(c.x() - 1, c.y() - 1, 3, 3, QColor(220, 40, 40));
        }
        break;
    case 'L': // lines
        p.drawPolygon(QPolygon({QPoint(2, 13), QPoint(8, 2), QPoint(14, 13)}));
        p.drawLine(8, 2, 8, 13);
        break;
    case 'T': // a filled, textured triangle
        p.setBrush(QColor(200, 160, 60));
        p.drawPolygon(QPolygon({QPoint(2, 13), QPoint(8, 2), QPoint(14, 13)}));
        p.setPen(QColor(120, 80, 20));
        p.drawLine(5, 10, 11, 10);
        p.drawLine(7, 7, 9, 7);
        break;
    default: // 'S': skins, one behind the other
        p.setBrush(QColor(120, 180, 120));
        p.drawRect(5, 1, 9, 9);
        p.setBrush(QColor(180, 120, 120));
        p.drawRect(2, 5, 9, 9);
        break;
    }
    return image;
}

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

} // namespace

// --- animation player ------------------------------------------------------------------------------

CAnimationPlayer::CAnimationPlayer(CFacetoApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* area = new QWidget(this);
    area->setMinimumSize(112, 128);
    area->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    preview_ = new CAnimationView(app_.viewContext(), area);
    auto* areaLayout = new QVBoxLayout(area);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->addWidget(preview_);
    layout->addWidget(area, 1);
    slider_ = new QSlider(Qt::Horizontal, this);
    layout->addWidget(slider_);
    auto* row = new QHBoxLayout();
    const char names[5] = {'F', 'V', 'L', 'T', 'S'};
    const char* tips[5] = {"Full screen (any key returns)", "Show vertices", "Show edges",
                           "Fill: textured, none, shaded", "Next skin"};
    for (int i = 0; i < 5; ++i) {
        buttons_[i] = new CFlatBitmapButton(QString(names[i]), this);
        buttons_[i]->setPicture(picture(names[i]));
        buttons_[i]->setTransparentColour(CLEAR);
        buttons_[i]->setToolTip(tips[i]);
        row->addWidget(buttons_[i]);
    }
    layout->addLayout(row);

    connect(button('F'), &QAbstractButton::clicked, this, [this] { preview_->setFullScreen(true); });
    connect(button('V'), &QAbstractButton::clicked, this, [this] {
        preview_->settings.showVertices = !preview_->settings.showVertices;
        button('V')->setLatched(preview_->settings.showVertices);
        preview_->update();
    });
    connect(button('L'), &QAbstractButton::clicked, this, [this] {
        preview_->settings.showEdges = !preview_->settings.showEdges;
        button('L')->setLatched(preview_->settings.showEdges);
        preview_->update();
    });
    connect(button('T'), &QAbstractButton::clicked, this, &CAnimationPlayer::cycleFill);
    connect(button('S'), &QAbstractButton::clicked, this, [this] {
        ++preview_->settings.skinIndex; // the preview wraps it to the first skin
        preview_->update();
    });
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &CAnimationPlayer::tick);
    connect(&app_, &CFacetoApp::escapePressed, this, &CAnimationPlayer::leaveFullScreen);
}

CAnimationPlayer::~CAnimationPlayer() {
    leaveFullScreen(); // a full-screen preview has left its parent: bring it back to be deleted with it
}

CFlatBitmapButton* CAnimationPlayer::button(char name) const {
    const char names[5] = {'F', 'V', 'L', 'T', 'S'};
    for (int i = 0; i < 5; ++i) {
        if (names[i] == name) {
            return buttons_[i];
        }
    }
    return nullptr;
}

void CAnimationPlayer::cycleFill() {
    PreviewSettings& s = preview_->settings;
    if (s.shaded) {
        s.shaded = 0;
        s.textured = 1;
    } else if (s.textured) {
        s.textured = 0;
    } else {
        s.shaded = 1;
    }
    preview_->update();
}

void CAnimationPlayer::tick() {
    PreviewSettings& s = preview_->settings;
    s.shownFrame = -1;
    CFacetoDoc* doc = app_.state().activeDocument;
    if (doc == nullptr) {
        return;
    }
    if (doc->animations.empty()) {
        playStep = 0;
        s.shownFrame = 0; // shown at the next redraw
        return;
    }
    const Animation* animation = doc->currentAnimation();
    if (animation == nullptr || animation->frameIndices.empty()) {
        playStep = 0;
        preview_->update();
        return;
    }
    if (playStep >= int(animation->frameIndices.size())) {
        playStep = 0;
    }
    s.shownFrame = animation->frameIndices[size_t(playStep)];
    preview_->update();
    ++playStep;
}

void CAnimationPlayer::leaveFullScreen() { preview_->setFullScreen(false); }

void CAnimationPlayer::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    timer_.start();
}

void CAnimationPlayer::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_.stop();
}

void CAnimationPlayer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        leaveFullScreen();
        return;
    }
    QWidget::keyPressEvent(event);
}

// --- grid panel ------------------------------------------------------------------------------------

CGridPanel::CGridPanel(CFacetoApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    auto* layout = new QGridLayout(this);
    visible_ = new QCheckBox("Visible", this);
    snap_ = new QCheckBox("Snap To", this);
    frame_ = new QCheckBox("Frame", this);
    frame_->setEnabled(false);
    combo_ = new QComboBox(this);
    combo_->addItems({"Previous", "Next"});
    spacing_ = new QLineEdit(this);
    apply_ = new QPushButton("Apply", this);
    layout->addWidget(visible_, 0, 0);
    layout->addWidget(snap_, 0, 1);
    layout->addWidget(frame_, 1, 0);
    layout->addWidget(combo_, 1, 1);
    layout->addWidget(new QLabel("Grid Spacing", this), 2, 0, 1, 2);
    layout->addWidget(spacing_, 3, 0);
    layout->addWidget(apply_, 3, 1);
    layout->setRowStretch(4, 1);

    connect(snap_, &QCheckBox::clicked, this, [this](bool on) {
        if (CFacetoDoc* doc = app_.state().activeDocument) {
            doc->snapToGrid = on ? 1 : 0;
            doc->updateAllViews();
        }
    });
    connect(visible_, &QCheckBox::clicked, this, [this](bool on) {
        if (CFacetoDoc* doc = app_.state().activeDocument) {
            doc->gridVisible = on ? 1 : 0;
            doc->updateAllViews();
        }
    });
    connect(apply_, &QPushButton::clicked, this, &CGridPanel::applySpacing);
}

// Shows the active document's grid. With no active document nothing is read and the controls rest.
void CGridPanel::loadFromDocument() {
    const CFacetoDoc* doc = app_.state().activeDocument;
    for (QWidget* control : {static_cast<QWidget*>(visible_), static_cast<QWidget*>(snap_),
                             static_cast<QWidget*>(combo_), static_cast<QWidget*>(spacing_),
                             static_cast<QWidget*>(apply_)}) {
        control->setEnabled(doc != nullptr);
    }
    combo_->setCurrentIndex(0);
    if (doc == nullptr) {
        return;
    }
    visible_->setChecked(doc->gridVisible != 0);
    snap_->setChecked(doc->snapToGrid != 0);
    spacing_->setText(QString::number(double(doc->gridSpacing), 'g', 6));
}

void CGridPanel::applySpacing() {
    CFacetoDoc* doc = app_.state().activeDocument;
    if (doc == nullptr) {
        return;
    }
    bool ok = false;
    const float value = spacing_->text().trimmed().toFloat(&ok);
    if (!ok) {
        app_.dialogs().message(this, "Enter a number.");
        return;
    }
    float spacing = value;
    if (!(value >= 1e-8f && value <= 1000.0f)) {
        app_.dialogs().message(this, "Enter a number between 1e-08 and 1000.");
        if (value > 0.0f) {
            return; // refused: the grid keeps its spacing
        }
    }
    if (!(spacing > 0.0f)) {
        spacing = 1.0f;
    }
    doc->gridSpacing = spacing;
    doc->updateAllViews();
}

void CGridPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    loadFromDocument();
}

void CGridPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    loadFromDocument();
}

// --- primitives panel -----------------------------------------------------------------------------

CPrimitivesPanel::CPrimitivesPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setSortingEnabled(true);
    layout->addWidget(list_);
    layout->addWidget(new QPushButton("New Face", this)); // makes no geometry in this version
}

void CPrimitivesPanel::fill() {
    list_->clear();
    list_->addItems({"Triangle", "Cube", "Cone", "Cylinder", "Sphere"});
}

void CPrimitivesPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fill();
}

void CPrimitivesPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    fill();
}

// --- project manager -------------------------------------------------------------------------------

CProjectManager::CProjectManager(CFacetoApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
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
    stack_->addWidget(player_);
    stack_->addWidget(grid_);
    stack_->addWidget(primitives_);
    stack_->setCurrentWidget(player_);
    layout->addWidget(stack_);

    auto* insDel = new QHBoxLayout();
    ins_ = new QPushButton("Ins", this);
    del_ = new QPushButton("Del", this);
    insDel->addWidget(ins_);
    insDel->addWidget(del_);
    layout->addLayout(insDel);
    animations_ = new QComboBox(this);
    layout->addWidget(animations_);
    caption_ = new QLabel(this);
    layout->addWidget(caption_);
    frames_ = new QListWidget(this);
    frames_->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(frames_, 1);
    groups_ = new QTreeWidget(this);
    groups_->setHeaderHidden(true);
    groups_->setRootIsDecorated(false);
    groups_->setIconSize(QSize(16, 16));
    groups_->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(groups_, 1);

    connect(panelButtons_[0], &QAbstractButton::clicked, this, [this] { showSubPanel(player_); });
    connect(panelButtons_[2], &QAbstractButton::clicked, this, [this] { showSubPanel(grid_); });
    connect(panelButtons_[3], &QAbstractButton::clicked, this, [this] { showSubPanel(primitives_); });
    connect(ins_, &QPushButton::clicked, this, &CProjectManager::addAnimation);
    connect(del_, &QPushButton::clicked, this, &CProjectManager::deleteAnimation);
    connect(animations_, &QComboBox::activated, this, &CProjectManager::animationChosen);
    connect(frames_, &QListWidget::itemClicked, this, &CProjectManager::frameClicked);
    connect(frames_, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { frameMenu()->popup(frames_->viewport()->mapToGlobal(at)); });
    connect(groups_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        groupMenu(groups_->itemAt(at))->popup(groups_->viewport()->mapToGlobal(at));
    });
    frames_->installEventFilter(this);
    connect(&app_, &CFacetoApp::activeDocumentChanged, this, [this] { refresh(); });
    connect(&app_, &CFacetoApp::documentChanged, this, [this](CFacetoDoc* doc) {
        if (doc == document()) {
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

CFacetoDoc* CProjectManager::document() const { return app_.state().activeDocument; }

void CProjectManager::showSubPanel(QWidget* panel) { stack_->setCurrentWidget(panel); }

void CProjectManager::refresh() {
    if (refreshing_) {
        return;
    }
    refreshing_ = true;
    frames_->clear();
    animations_->clear();
    groups_->clear();
    const CFacetoDoc* doc = document();
    if (doc != nullptr) {
        // Animations without a name are not listed; the current one is chosen in the list.
        for (size_t a = 0; a < doc->animations.size(); ++a) {
            if (doc->animations[a].name.empty()) {
                continue;
            }
            animations_->addItem(QString::fromStdString(doc->animations[a].name), int(a));
            if (int(a) == doc->currentAnimationIndex) {
                animations_->setCurrentIndex(animations_->count() - 1);
            }
        }
        if (const Animation* current = doc->currentAnimation()) {
            for (int32_t f : current->frameIndices) {
                const std::string& name = doc->frames[size_t(f)].name;
                if (name.empty()) {
                    continue;
                }
                auto* item = new QListWidgetItem(QString::fromStdString(name), frames_);
                if (f == doc->currentFrameIndex) {
                    frames_->setCurrentItem(item);
                }
            }
        }
        for (size_t g = 0; g < doc->model.groups.size(); ++g) {
            const Group& group = doc->model.groups[g];
            auto* item = new QTreeWidgetItem(groups_, {QString::fromStdString(group.name)});
            item->setIcon(0, groupImage((group.flags & GROUP_VISIBLE) != 0));
            item->setData(0, Qt::UserRole, int(g));
        }
        caption_->setText(QString("Tri: %1\nVert: %2\nAnim: %3\nFram: %4")
                              .arg(doc->model.triangleCount())
                              .arg(doc->model.vertexCount())
                              .arg(doc->animations.size())
                              .arg(doc->frames.size()));
    } else {
        caption_->setText("Tri:\nVert:\nAnim:\nFram:");
    }
    refreshing_ = false;
}

void CProjectManager::animationChosen(int index) {
    if (CFacetoDoc* doc = document(); doc != nullptr && index >= 0) {
        selectAnimationByName(*doc, animations_->itemText(index).toStdString());
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

// A key in the frame list: the frame it moves to becomes current, then the lists are read again.
bool CProjectManager::eventFilter(QObject* watched, QEvent* event) {
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
    if (app_.dialogs().askYesNo(this, QString("Are you sure you want to delete %1 and all of the associated frames?")
                                          .arg(name))) {
        deleteCurrentAnimation(*doc);
    }
    refresh();
    doc->updateAllViews();
}

QMenu* CProjectManager::frameMenu() {
    delete menu_;
    menu_ = new QMenu(this);
    CFacetoDoc* doc = document();
    std::optional<std::string> selected;
    if (const QListWidgetItem* item = frames_->currentItem()) {
        selected = item->text().toStdString();
    }
    const bool frameHeld = app_.state().clipboard.kind() == FrameClipboard::FRAME;
    menu_->addAction("Cut", this, [this, doc, selected] {
        if (doc && selected && doc->currentFrame()) {
            cutFrame(*doc, app_.state().clipboard, *selected);
            refresh();
        }
    });
    menu_->addAction("Copy", this, [this, doc] {
        if (doc) {
            copyFrame(*doc, app_.state().clipboard);
        }
    });
    for (InsertPlace place : {InsertPlace::Before, InsertPlace::After}) {
        QAction* insert = menu_->addAction(place == InsertPlace::Before ? "Insert Before" : "Insert After", this,
                                           [this, doc, selected, place] {
                                               if (!doc) {
                                                   return;
                                               }
                                               insertFrame(*doc, app_.state().clipboard, place,
                                                           selected ? std::optional<std::string_view>(*selected)
                                                                    : std::nullopt);
                                               refresh();
                                           });
        insert->setEnabled(frameHeld);
    }
    menu_->addAction("Generate SkinMap"); // no effect in this version
    return menu_;
}

QMenu* CProjectManager::groupMenu(QTreeWidgetItem* hit) {
    delete menu_;
    menu_ = new QMenu(this);
    CFacetoDoc* doc = document();
    if (hit != nullptr) {
        groups_->setCurrentItem(hit);
    }
    const int group = hit ? hit->data(0, Qt::UserRole).toInt() : -1;
    QAction* visible = menu_->addAction("Visible", this, [this, doc, group] {
        if (doc) {
            toggleGroupVisibility(*doc, group);
            refresh();
        }
    });
    visible->setCheckable(true);
    visible->setEnabled(hit != nullptr);
    visible->setChecked(doc && group >= 0 && size_t(group) < doc->model.groups.size() &&
                        (doc->model.groups[size_t(group)].flags & GROUP_VISIBLE));
    menu_->addAction("Properties")->setEnabled(false);
    menu_->addAction("New"); // no effect in this version
    menu_->addAction("Delete")->setEnabled(false);
    return menu_;
}

} // namespace faceto
