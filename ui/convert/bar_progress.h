#pragma once
// The generator's progress shown on a progress bar; its yield lets the
// window's pending events run, at most about sixty times a second: the window
// stays as responsive, and a conversion of many short records does not spend
// its time looking for events.

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>

#include "engine/progress.h"

namespace trelmo::ui {

class BarProgress final : public ProgressSink {
public:
    explicit BarProgress(QProgressBar& bar) : bar_(&bar) {}
    void setMinimum(float value) override;
    void setMaximum(float value) override;
    void setValue(float value) override;
    void yield() override;

private:
    QPointer<QProgressBar> bar_;
    QElapsedTimer sinceEvents_;  // since pending events last ran; not started before the first yield
};

}  // namespace trelmo::ui
