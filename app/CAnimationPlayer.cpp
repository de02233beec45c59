#include "app/CAnimationPlayer.h"

#include "app/CFacetoApp.h"
#include "document/GroupOperations.h"
#include "views/CAnimationView.h"
#include "views/CFlatBitmapButton.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

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

} // namespace

CAnimationPlayer::CAnimationPlayer(CFacetoApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* area = new QWidget(this);
    area->setMinimumSize(80, 64);
    area->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    preview_ = new CAnimationView(app_.viewContext(), area);
    auto* areaLayout = new QVBoxLayout(area);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->addWidget(preview_);
    layout->addWidget(area, 1);
    // The position in the animation: it follows the playback, and dragging it shows a frame of one's
    // choice (the playback waits while the slider is held).
    auto* position = new QHBoxLayout();
    auto* label = new QLabel(tr("Frame"), this);
    slider_ = new QSlider(Qt::Horizontal, this);
    label->setBuddy(slider_);
    slider_->setToolTip(tr("Position in the animation: drag it to show a frame"));
    slider_->setStatusTip(tr("The frame of the current animation the preview shows; drag to choose one"));
    slider_->setAccessibleName(tr("Frame"));
    slider_->setRange(0, 0);
    position->addWidget(label);
    position->addWidget(slider_, 1);
    layout->addLayout(position);
    auto* row = new QHBoxLayout();
    const char names[5] = {'F', 'V', 'L', 'T', 'S'};
    const char* tips[5][2] = {
        {QT_TR_NOOP("Full screen"),
         QT_TR_NOOP("Show the preview on the whole screen; any key brings it back")},
        {QT_TR_NOOP("Show vertices"), QT_TR_NOOP("Draw the corners of the triangles as dots")},
        {QT_TR_NOOP("Show edges"), QT_TR_NOOP("Draw the edges of the triangles")},
        {QT_TR_NOOP("Fill"),
         QT_TR_NOOP(
             "Fill the triangles: textured with the skin, not at all, or shaded (each click the next)")},
        {QT_TR_NOOP("Next skin"), QT_TR_NOOP("Texture the preview with the model's next skin")},
    };
    for (int i = 0; i < 5; ++i) {
        buttons_[i] = new CFlatBitmapButton(QString(names[i]), this);
        buttons_[i]->setPicture(picture(names[i]));
        buttons_[i]->setTransparentColour(CLEAR);
        buttons_[i]->setToolTip(tr(tips[i][0]));
        buttons_[i]->setStatusTip(tr(tips[i][1]));
        buttons_[i]->setAccessibleName(tr(tips[i][0]));
        row->addWidget(buttons_[i]);
    }
    layout->addLayout(row);
    addPlaybackControls(layout);
    connectControls();
    followDocuments();
}

// The slider and the display buttons.
void CAnimationPlayer::connectControls() {
    connect(slider_, &QSlider::sliderPressed, &timer_, &QTimer::stop);
    connect(slider_, &QSlider::sliderReleased, this, &CAnimationPlayer::restartTimer);
    connect(slider_, &QSlider::sliderMoved, this, &CAnimationPlayer::showStep);

    connect(button('F'), &QAbstractButton::clicked, this, [this] { preview_->setFullScreen(true); });
    connect(button('V'), &QAbstractButton::clicked, this, [this] {
        preview_->settings.showVertices = !preview_->settings.showVertices;
        button('V')->setLatched(preview_->settings.showVertices);
        preview_->redraw();
    });
    connect(button('L'), &QAbstractButton::clicked, this, [this] {
        preview_->settings.showEdges = !preview_->settings.showEdges;
        button('L')->setLatched(preview_->settings.showEdges);
        preview_->redraw();
    });
    connect(button('T'), &QAbstractButton::clicked, this, &CAnimationPlayer::cycleFill);
    connect(button('S'), &QAbstractButton::clicked, this, [this] {
        // From the skin shown on: the preview wraps past the last to the first.
        int& index = preview_->settings.skinIndex;
        const CFacetoDoc* doc = app_.state().activeDocument;
        index = index >= 0 ? index + 1 : (doc ? doc->currentSkin() : 0) + 1;
        preview_->redraw();
    });
}

// The player follows the documents: the skin chosen, the window made active, the timer and Esc.
void CAnimationPlayer::followDocuments() {
    // A skin chosen for the document (in the Skin drop-down) is the one the preview shows from then on.
    connect(&app_, &CFacetoApp::changeNoticed, this, [this](CFacetoDoc* doc, ChangeNotice notice) {
        if (doc == nullptr || doc != app_.state().activeDocument) {
            return;
        }
        if (notice.touches(change::SKINS | change::VIEW) && doc->currentSkin() != followedSkin_) {
            followedSkin_ = doc->currentSkin();
            preview_->settings.skinIndex = -1;
            preview_->redraw();
        }
        // The preview is drawn again when what it shows changed, not at every step of an animation that
        // stays on one frame.
        const int shown =
            preview_->settings.shownFrame >= 0 ? preview_->settings.shownFrame : doc->currentFramePosition();
        if (notice.touches(change::POSITIONS | change::TOPOLOGY | change::FRAMES | change::SKINS |
                           change::VISIBILITY | change::SKIN_PLAY) &&
            !notice.onlyPositionsOfAnotherFrame(shown)) {
            if (notice.what == change::POSITIONS) {
                redrawMovedPositions();
            } else {
                movedLater_.stop();
                preview_->redraw();
            }
        }
    });
    movedLater_.setSingleShot(true);
    connect(&movedLater_, &QTimer::timeout, this, [this] {
        sinceMovedDrawn_.start();
        preview_->redraw();
    });
    // Another window's document: a paused player shows the same step of its animation.
    connect(&app_, &CFacetoApp::activeDocumentChanged, this, [this](CFacetoDoc* doc) {
        app_.state().followedFrame = -1;
        const Animation* animation = doc ? doc->currentAnimation() : nullptr;
        if (isVisible() && paused_ && animation != nullptr && !animation->frameIndices.empty()) {
            showStep(std::clamp(playStep - 1, 0, int(animation->frameIndices.size()) - 1));
            ++playStep;
        }
    });
    timer_.setInterval(1000 / rate_->value());
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

void CAnimationPlayer::addPlaybackControls(QVBoxLayout* layout) {
    QtProfile& profile = app_.profile();
    auto* row = new QHBoxLayout();
    auto* back = new QToolButton(this);
    back->setText("|<");
    back->setToolTip(tr("One frame back ([)"));
    back->setAccessibleName(tr("Step back"));
    play_ = new QToolButton(this);
    play_->setCheckable(true);
    play_->setToolTip(tr("Play or pause (Ctrl+Space)"));
    play_->setAccessibleName(tr("Play"));
    auto* on = new QToolButton(this);
    on->setText(">|");
    on->setToolTip(tr("One frame on (])"));
    on->setAccessibleName(tr("Step on"));
    rate_ = new QSpinBox(this);
    rate_->setRange(1, 60);
    rate_->setSuffix(tr(" fps"));
    rate_->setValue(std::clamp(profile.get(settings::PLAYER_RATE), 1, 60));
    rate_->setToolTip(tr("Frames a second"));
    rate_->setAccessibleName(tr("Frames a second"));
    loop_ = new QCheckBox(tr("Loop"), this);
    loop_->setChecked(profile.get(settings::PLAYER_LOOP));
    smooth_ = new QCheckBox(tr("Smooth"), this);
    smooth_->setToolTip(tr("Move between the frames as the engines do, at the display's rate"));
    smooth_->setChecked(app_.profile().get(settings::PLAYER_SMOOTH));
    follow_ = new QCheckBox(tr("Camera follows"), this);
    follow_->setToolTip(tr("The camera pane of the active window shows the frame played"));
    follow_->setChecked(profile.get(settings::CAMERA_FOLLOWS_PLAYER));
    for (QWidget* w : std::initializer_list<QWidget*>{back, play_, on, rate_}) {
        row->addWidget(w);
    }
    row->addStretch(1);
    layout->addLayout(row);
    auto* options = new QHBoxLayout();
    options->addWidget(loop_);
    options->addWidget(smooth_);
    options->addWidget(follow_);
    options->addStretch(1);
    layout->addLayout(options);
    play_->setChecked(true);
    play_->setText("||");
    connect(back, &QToolButton::clicked, this, [this] { step(-1); });
    connect(on, &QToolButton::clicked, this, [this] { step(1); });
    connect(play_, &QToolButton::toggled, this, [this](bool playing) { setPaused(!playing); });
    connect(rate_, &QSpinBox::valueChanged, this, &CAnimationPlayer::setFramesPerSecond);
    connect(loop_, &QCheckBox::toggled, this, &CAnimationPlayer::setLooping);
    connect(follow_, &QCheckBox::toggled, this, &CAnimationPlayer::setCameraFollows);
    connect(smooth_, &QCheckBox::toggled, this, [this](bool on) {
        app_.profile().set(settings::PLAYER_SMOOTH, on);
        if (!on) {
            preview_->settings.blendFrame = -1;
            preview_->settings.blend = 0.0f;
            preview_->redraw();
        }
    });
    // Between two steps of the animation the smooth preview is drawn at the display's rate, each time the
    // pose that far on towards the next frame.
    blendTimer_.setInterval(16);
    connect(&blendTimer_, &QTimer::timeout, this, [this] {
        PreviewSettings& s = preview_->settings;
        if (paused_ || !smooth_->isChecked() || s.blendFrame < 0 || timer_.interval() <= 0) {
            blendTimer_.stop();
            return;
        }
        const float blend = std::min(float(sinceStep_.elapsed()) / float(timer_.interval()), 0.999f);
        if (blend != s.blend) {
            s.blend = blend;
            preview_->redraw();
        }
    });
}

void CAnimationPlayer::restartTimer() {
    if (isVisible() && !paused_) {
        timer_.start();
    }
}

void CAnimationPlayer::setPaused(bool paused) {
    paused_ = paused;
    if (play_->isChecked() == paused) {
        play_->setChecked(!paused);
    }
    play_->setText(paused ? ">" : "||");
    play_->setAccessibleName(paused ? tr("Play") : tr("Pause"));
    if (paused) {
        timer_.stop();
    } else {
        restartTimer();
    }
}

void CAnimationPlayer::step(int by) {
    setPaused(true);
    const CFacetoDoc* doc = app_.state().activeDocument;
    const Animation* animation = doc ? doc->currentAnimation() : nullptr;
    if (animation == nullptr || animation->frameIndices.empty()) {
        return;
    }
    // playStep is the step after the one shown; the one shown moves by `by`, round the animation.
    const int count = int(animation->frameIndices.size());
    const int shown = (playStep - 1 + count) % count;
    showStep(((shown + by) % count + count) % count);
    ++playStep;
}

void CAnimationPlayer::setFramesPerSecond(int fps) {
    fps = std::clamp(fps, 1, 60);
    if (rate_->value() != fps) {
        rate_->setValue(fps);
    }
    timer_.setInterval(1000 / fps);
    app_.profile().set(settings::PLAYER_RATE, fps);
}

void CAnimationPlayer::setLooping(bool on) {
    if (loop_->isChecked() != on) {
        loop_->setChecked(on);
    }
    app_.profile().set(settings::PLAYER_LOOP, on);
}

void CAnimationPlayer::setCameraFollows(bool on) {
    if (follow_->isChecked() != on) {
        follow_->setChecked(on);
    }
    app_.profile().set(settings::CAMERA_FOLLOWS_PLAYER, on);
    show(preview_->settings.shownFrame);
}

void CAnimationPlayer::show(int frame) {
    PreviewSettings& s = preview_->settings;
    if (s.shownFrame != frame || s.blendFrame >= 0 || s.blend != 0.0f) {
        s.shownFrame = frame;
        s.blendFrame = -1;
        s.blend = 0.0f;
        preview_->redraw();
    }
    AppState& state = app_.state();
    const int followed = follow_->isChecked() && isVisible() ? frame : -1;
    if (state.followedFrame != followed) {
        state.followedFrame = followed;
        if (state.activeDocument != nullptr) {
            app_.redrawCameraViews(state.activeDocument);
        }
    }
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
    preview_->redraw();
}

void CAnimationPlayer::tick() {
    if (paused_) {
        return;
    }
    PreviewSettings& s = preview_->settings;
    CFacetoDoc* doc = app_.state().activeDocument;
    if (doc == nullptr) {
        show(-1);
        return;
    }
    if (doc->animations().empty()) {
        playStep = 0;
        show(0);
        return;
    }
    const Animation* animation = doc->currentAnimation();
    if (animation == nullptr || animation->frameIndices.empty()) {
        playStep = 0;
        show(-1);
        return;
    }
    const int count = int(animation->frameIndices.size());
    if (playStep >= count) {
        playStep = 0;
    }
    const int frame = animation->frameIndices[size_t(playStep)];
    show(frame);
    slider_->setRange(0, count - 1);
    slider_->setValue(playStep);
    ++playStep;
    // A frame of a frame group shows for its time in the group, the others for a step of the rate.
    const std::optional<double> inGroup = frameDuration(*doc, frame);
    const int wait =
        inGroup ? std::max(1, int(std::lround(*inGroup * 1000.0))) : 1000 / std::max(rate_->value(), 1);
    if (timer_.interval() != wait) {
        timer_.setInterval(wait);
    }
    if (smooth_->isChecked()) {
        // Towards the next step: round the animation when it loops, none after its last frame otherwise.
        const int next = playStep < count ? playStep : loop_->isChecked() ? 0 : -1;
        s.blendFrame = next >= 0 ? animation->frameIndices[size_t(next)] : -1;
        s.blend = 0.0f;
        sinceStep_.restart();
        if (s.blendFrame >= 0 && !blendTimer_.isActive()) {
            blendTimer_.start();
        }
    }
    if (playStep == count && !loop_->isChecked()) {
        setPaused(true); // not looped, the animation stops on its last frame; playing again starts over
    }
}

void CAnimationPlayer::showStep(int step) {
    const CFacetoDoc* doc = app_.state().activeDocument;
    const Animation* animation = doc ? doc->currentAnimation() : nullptr;
    if (animation == nullptr || step < 0 || size_t(step) >= animation->frameIndices.size()) {
        return;
    }
    playStep = step;
    slider_->setRange(0, int(animation->frameIndices.size()) - 1);
    slider_->setValue(step);
    show(animation->frameIndices[size_t(step)]);
}

void CAnimationPlayer::leaveFullScreen() {
    preview_->setFullScreen(false);
}

void CAnimationPlayer::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    restartTimer();
}

void CAnimationPlayer::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_.stop();
    show(preview_->settings.shownFrame); // the camera pane no longer follows
}

void CAnimationPlayer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        leaveFullScreen();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CAnimationPlayer::redrawMovedPositions() {
    constexpr qint64 INTERVAL_MS = 100;
    if (movedLater_.isActive()) {
        return; // the redraw already due shows these positions too
    }
    const qint64 since = sinceMovedDrawn_.isValid() ? sinceMovedDrawn_.elapsed() : INTERVAL_MS;
    if (since >= INTERVAL_MS) {
        sinceMovedDrawn_.start();
        preview_->redraw();
    } else {
        movedLater_.start(int(INTERVAL_MS - since));
    }
}

} // namespace faceto
