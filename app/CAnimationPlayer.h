#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QSlider;
class QSpinBox;
class QToolButton;
class QVBoxLayout;

namespace faceto {

class CAnimationView;
class CFacetoApp;
class CFlatBitmapButton;

// The animation player: the active document's current animation in the preview, ten frames a second
// (or as many as chosen) while the panel is shown, with the switches F (full screen), V (vertex dots),
// L (lines), T (fill: textured, none, shaded) and S (next skin), play and pause, a step back or on,
// looping or stopping at the end, and the camera pane following the frame played.
class CAnimationPlayer : public QWidget {
    Q_OBJECT
public:
    explicit CAnimationPlayer(CFacetoApp& app, QWidget* parent = nullptr);
    ~CAnimationPlayer() override;

    CAnimationView* preview() const { return preview_; }
    CFlatBitmapButton* button(char name) const;
    QSlider* slider() const { return slider_; }
    bool playing() const { return timer_.isActive(); }
    int stepMilliseconds() const { return timer_.interval(); }
    // Playing while shown, or paused where it is (the panel stays).
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    // One frame back or on, paused.
    void step(int by);
    void setFramesPerSecond(int fps);
    void setLooping(bool on);
    // The active document's camera pane shows the frame played (while the player is shown).
    void setCameraFollows(bool on);
    QToolButton* playButton() const { return play_; }
    QSpinBox* rateBox() const { return rate_; }
    QCheckBox* loopBox() const { return loop_; }
    QCheckBox* followBox() const { return follow_; }
    QCheckBox* smoothBox() const { return smooth_; }
    // One step of the playback; the timer calls it at the chosen rate.
    void tick();
    // Shows step `step` of the current animation (the slider's position).
    void showStep(int step);
    int playStep = 0; // the position in the current animation, kept across documents

public slots:
    void leaveFullScreen();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void connectControls();
    void followDocuments();
    int followedSkin_ = 0; // the document's skin when the preview last took it
    void cycleFill();
    void addPlaybackControls(QVBoxLayout* layout);
    // The frame shown, to the preview and (when it follows) the camera pane.
    void show(int frame);
    void restartTimer();

    CFacetoApp& app_;
    CAnimationView* preview_ = nullptr;
    QSlider* slider_ = nullptr;
    CFlatBitmapButton* buttons_[5] = {}; // F V L T S
    QTimer timer_;
    QToolButton* play_ = nullptr;
    QSpinBox* rate_ = nullptr;
    QCheckBox* loop_ = nullptr;
    QCheckBox* follow_ = nullptr;
    QCheckBox* smooth_ = nullptr;
    QTimer blendTimer_;       // the smooth preview's redraws between two steps
    QElapsedTimer sinceStep_; // since the step shown
    // Positions moving in quick succession (a drag) show in the preview ten times a second, the last
    // of them always; the document's panes follow every step.
    void redrawMovedPositions();
    QElapsedTimer sinceMovedDrawn_;
    QTimer movedLater_;
    bool paused_ = false;
};

} // namespace faceto
