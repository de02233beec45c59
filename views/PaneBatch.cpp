#include "views/PaneBatch.h"

#include "views/StepTimings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThreadPool>
#include <algorithm>
#include <exception>
#include <latch>

namespace faceto {

void RecordedFrame::present(const uint8_t* pixels, int stride, int width, int height,
                            const DisplayPalette& palette) {
    picture_.present(pixels, stride, width, height, palette);
    hasPicture_ = true;
}

void RecordedFrame::line(Pixel from, Pixel to, uint32_t rgb, int penWidth, bool dashed) {
    marks_.push_back({Mark::LINE, from, to, rgb, penWidth, dashed, {}});
}

void RecordedFrame::pixel(Pixel at, uint32_t rgb) {
    marks_.push_back({Mark::PIXEL, at, at, rgb, 1, false, {}});
}

void RecordedFrame::text(Pixel at, const std::string& text, uint32_t rgb) {
    marks_.push_back({Mark::TEXT, at, at, rgb, 1, false, text});
}

void RecordedFrame::replay(QPainter& painter) const {
    if (hasPicture_) {
        painter.drawImage(0, 0, picture_.image());
    }
    QtOverlay overlay(painter);
    for (const Mark& m : marks_) {
        switch (m.kind) {
        case Mark::LINE:
            overlay.line(m.from, m.to, m.rgb, m.penWidth, m.dashed);
            break;
        case Mark::PIXEL:
            overlay.pixel(m.from, m.rgb);
            break;
        case Mark::TEXT:
            overlay.text(m.from, m.text, m.rgb);
            break;
        }
    }
}

namespace {

bool together = true;
// Passes of the event loop: a frame drawn with others' is shown only in the pass it was drawn in.
uint64_t currentPass = 1;
bool passEndPosted = false;
std::vector<ConcurrentPane*>& livePanes() {
    static std::vector<ConcurrentPane*> panes;
    return panes;
}
uint64_t drawnWithOthers = 0;

void endPassLater() {
    if (passEndPosted || QCoreApplication::instance() == nullptr) {
        return;
    }
    passEndPosted = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            ++currentPass;
            passEndPosted = false;
        },
        Qt::QueuedConnection);
}

} // namespace

ConcurrentPane::ConcurrentPane() {
    livePanes().push_back(this);
}

ConcurrentPane::~ConcurrentPane() {
    std::erase(livePanes(), this);
}

void ConcurrentPane::drawTogether(bool on) {
    together = on;
}

uint64_t ConcurrentPane::framesDrawnWithOthers() {
    return drawnWithOthers;
}

void ConcurrentPane::requestFrame() {
    waiting_ = true;
    paneWidget()->update();
}

bool ConcurrentPane::readyFor(QSize size) const {
    return drawnInPass_ == currentPass && drawnSize_ == size;
}

void ConcurrentPane::paintFrame(QPainter& painter) {
    QWidget* self = paneWidget();
    if (!readyFor(self->size())) {
        std::vector<ConcurrentPane*> batch{this};
        for (ConcurrentPane* pane : together ? livePanes() : std::vector<ConcurrentPane*>{}) {
            if (pane == this || !pane->waiting_ || !pane->paintedOnce_) {
                continue; // a pane that waits has been made whole and painted before
            }
            QWidget* w = pane->paneWidget();
            if (w->isVisible() && !pane->readyFor(w->size())) {
                batch.push_back(pane);
            }
        }
        drawBatch(batch);
    }
    frame_.replay(painter);
    drawnInPass_ = 0; // shown: the next paint draws again
    paintedOnce_ = true;
}

void ConcurrentPane::drawBatch(const std::vector<ConcurrentPane*>& batch) {
    std::vector<double> times(batch.size(), 0.0);
    for (ConcurrentPane* pane : batch) {
        pane->frameSize_ = pane->frameSize();
    }
    auto draw = [&](size_t k) {
        QElapsedTimer clock;
        clock.start();
        ConcurrentPane& pane = *batch[k];
        pane.frame_.clearOverlay();
        try {
            pane.drawFrame(pane.frame_, pane.frameSize_.width(), pane.frameSize_.height());
        } catch (const std::exception&) {
            pane.frame_.clearOverlay(); // out of memory: the pane keeps its last picture
        }
        times[k] = double(clock.nsecsElapsed()) / 1e6;
    };
    if (batch.size() > 1) {
        // The others on the pool's threads, this pane on the GUI thread.
        std::latch done(std::ptrdiff_t(batch.size() - 1));
        for (size_t k = 1; k < batch.size(); ++k) {
            QThreadPool::globalInstance()->start([&, k] {
                draw(k);
                done.count_down();
            });
        }
        draw(0);
        done.wait();
        drawnWithOthers += batch.size();
        endPassLater();
    } else {
        draw(0);
    }
    for (size_t k = 0; k < batch.size(); ++k) {
        ConcurrentPane& pane = *batch[k];
        pane.waiting_ = false;
        pane.drawnInPass_ = currentPass;
        pane.drawnSize_ = pane.paneWidget()->size();
        StepTimings::instance().addPaint(pane.timingName(), times[k]);
    }
}

} // namespace faceto
