#pragma once

#include <QTimer>
#include <QWidget>

class QSlider;

namespace faceto {

class CAnimationView;
class CFacetoApp;
class CFlatBitmapButton;

// The animation player: the active document's current animation in the preview, ten frames a second
// while the panel is shown, with the switches F (full screen), V (vertex dots), L (lines), T (fill:
// textured, none, shaded) and S (next skin).
class CAnimationPlayer : public QWidget {
    Q_OBJECT
public:
    explicit CAnimationPlayer(CFacetoApp& app, QWidget* parent = nullptr);
    ~CAnimationPlayer() override;

    CAnimationView* preview() const { return preview_; }
    CFlatBitmapButton* button(char name) const;
    QSlider* slider() const { return slider_; }
    bool playing() const { return timer_.isActive(); }
    // One step of the playback; the timer calls it every 100 ms.
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
    int followedSkin_ = 0; // the document's skin when the preview last took it
    void cycleFill();

    CFacetoApp& app_;
    CAnimationView* preview_ = nullptr;
    QSlider* slider_ = nullptr;
    CFlatBitmapButton* buttons_[5] = {}; // F V L T S
    QTimer timer_;
};

} // namespace faceto
