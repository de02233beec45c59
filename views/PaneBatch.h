#pragma once

#include "views/QtFramePresenter.h"

#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

namespace faceto {

// One frame of a pane, drawn on any thread and shown later by the pane's paint event: the picture and
// the overlay lines, dots and texts to be drawn over it with the pane's painter.
class RecordedFrame : public FramePresenter, public OverlayTarget {
public:
    void present(const uint8_t* pixels, int stride, int width, int height,
                 const DisplayPalette& palette) override;
    void line(Pixel from, Pixel to, uint32_t rgb, int penWidth, bool dashed) override;
    void pixel(Pixel at, uint32_t rgb) override;
    void text(Pixel at, const std::string& text, uint32_t rgb) override;

    // Draws the picture at the window's origin, then the overlay over it.
    void replay(QPainter& painter) const;
    // Forgets the overlay of the frame before (the picture's memory is kept for the next).
    void clearOverlay() { marks_.clear(); }
    const QImage& image() const { return picture_.image(); }

private:
    struct Mark {
        enum Kind { LINE, PIXEL, TEXT } kind;
        Pixel from;
        Pixel to;
        uint32_t rgb;
        int penWidth;
        bool dashed;
        std::string text;
    };
    QtFramePresenter picture_;
    bool hasPicture_ = false;
    std::vector<Mark> marks_;
};

// A pane whose frame can be drawn off the GUI thread. When the first pane that waits to be painted is
// painted, every pane that waits is drawn at once, each by its own rasterizer on a core of its own,
// while the GUI thread waits; their paint events, which follow in the same pass of the event loop, only
// show what was drawn. The panes only read the documents meanwhile, and nothing changes them while the
// GUI thread waits.
class ConcurrentPane {
public:
    ConcurrentPane();
    virtual ~ConcurrentPane();
    ConcurrentPane(const ConcurrentPane&) = delete;
    ConcurrentPane& operator=(const ConcurrentPane&) = delete;
    // The pane is to be drawn again with the others of its document that wait (QWidget::update).
    void requestFrame();

    // How the panes of a paint are drawn: together (the default), or each in its own paint event.
    static void drawTogether(bool on);
    // How many frames were drawn at once with another pane's, since the start.
    static uint64_t framesDrawnWithOthers();
    // The picture the pane showed last.
    const QImage& shownPicture() const { return frame_.image(); }

protected:
    // Draws the pane's frame of width x height device pixels into `out`, reading the document and
    // touching nothing but what the pane owns: it may run on another thread. `out`'s overlay is empty.
    virtual void drawFrame(RecordedFrame& out, int width, int height) = 0;
    // The frame buffer's size, in device pixels (asked on the GUI thread).
    virtual QSize frameSize() const = 0;
    // What the pane's time is called in the step timings ("Top view", "Camera").
    virtual QString timingName() const = 0;
    virtual QWidget* paneWidget() = 0;
    // In the paint event: draws this pane's frame, with those of the other panes that wait for one,
    // unless it was drawn already with another's in this pass; then shows it.
    void paintFrame(QPainter& painter);
    // What was drawn with other panes' frames no longer holds (the pane changed its camera since).
    void discardFrame() { drawnInPass_ = 0; }

private:
    static void drawBatch(const std::vector<ConcurrentPane*>& batch);
    bool readyFor(QSize size) const;
    RecordedFrame frame_;
    uint64_t drawnInPass_ = 0; // the pass of the event loop its frame was drawn for (0: none)
    QSize drawnSize_;
    QSize frameSize_; // the size it is being drawn at
    bool waiting_ = false;
    bool paintedOnce_ = false; // a pane joins others' batches once it has set itself up
};

} // namespace faceto
