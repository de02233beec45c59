#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <vector>

namespace faceto {

// With FACETO_STEP_TIMES set in the environment, each step of a mouse drag in a 2D view prints to
// standard error how long the edit took and how long each pane took to draw what it changed:
//   step 12: edit 3.10 ms, Top view 4.21 ms, Side view 4.02 ms, Front view 4.13 ms, Camera 3.90 ms,
//   total 19.36 ms (from the mouse event to the last pane drawn)
// A step is printed when the next one begins or the drag ends. Without the variable nothing is measured.
class StepTimings {
public:
    static StepTimings& instance();
    bool enabled() const { return enabled_; }

    // A drag step begins (a mouse move of a drag): the step before it is printed.
    void beginStep();
    void addEdit(double milliseconds);
    void addPaint(const QString& pane, double milliseconds);
    // The drag ended: its last step is printed.
    void endDrag();

    // Times a piece of work into the step, when timings are on.
    class Scope {
    public:
        Scope(bool edit, QString pane) : edit_(edit), pane_(std::move(pane)) {
            if (StepTimings::instance().enabled()) {
                clock_.start();
            }
        }
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        bool edit_;
        QString pane_;
        QElapsedTimer clock_;
    };

private:
    StepTimings();
    void print();
    bool enabled_ = false;
    bool open_ = false;
    int step_ = 0;
    QElapsedTimer sinceStart_;
    double lastEnd_ = 0.0;
    double edit_ = 0.0;
    std::vector<std::pair<QString, double>> paints_;
};

} // namespace faceto
