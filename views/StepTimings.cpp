#include "views/StepTimings.h"

#include <cstdlib>

namespace faceto {

StepTimings& StepTimings::instance() {
    static StepTimings timings;
    return timings;
}

StepTimings::StepTimings() : enabled_(std::getenv("FACETO_STEP_TIMES") != nullptr) {}

void StepTimings::beginStep() {
    if (!enabled_) {
        return;
    }
    print();
    open_ = true;
    ++step_;
    sinceStart_.start();
    lastEnd_ = 0.0;
    edit_ = 0.0;
    paints_.clear();
}

void StepTimings::addEdit(double milliseconds) {
    if (open_) {
        edit_ += milliseconds;
        lastEnd_ = double(sinceStart_.nsecsElapsed()) / 1e6;
    }
}

void StepTimings::addPaint(const QString& pane, double milliseconds) {
    if (open_) {
        paints_.emplace_back(pane, milliseconds);
        lastEnd_ = double(sinceStart_.nsecsElapsed()) / 1e6;
    }
}

void StepTimings::endDrag() {
    if (enabled_) {
        print();
        step_ = 0;
    }
}

void StepTimings::print() {
    if (!open_) {
        return;
    }
    open_ = false;
    QString line = QString("step %1: edit %2 ms").arg(step_).arg(edit_, 0, 'f', 2);
    for (const auto& [pane, ms] : paints_) {
        line += QString(", %1 %2 ms").arg(pane).arg(ms, 0, 'f', 2);
    }
    line += QString(", total %1 ms\n").arg(lastEnd_, 0, 'f', 2);
    std::fputs(line.toUtf8().constData(), stderr);
}

StepTimings::Scope::~Scope() {
    if (!clock_.isValid()) {
        return;
    }
    const double ms = double(clock_.nsecsElapsed()) / 1e6;
    if (edit_) {
        StepTimings::instance().addEdit(ms);
    } else {
        StepTimings::instance().addPaint(pane_, ms);
    }
}

} // namespace faceto
