#include "ui/convert/bar_progress.h"

#include <QCoreApplication>
#include <cmath>

namespace trelmo::ui {
namespace {
int toInt(float value) { return static_cast<int>(std::lround(value)); }
}  // namespace

void BarProgress::setMinimum(float value) {
    if (bar_) bar_->setMinimum(toInt(value));
}

void BarProgress::setMaximum(float value) {
    if (bar_) bar_->setMaximum(toInt(value));
}

void BarProgress::setValue(float value) {
    if (bar_) bar_->setValue(toInt(value));
}

void BarProgress::yield() {
    constexpr qint64 kEveryMs = 16;
    if (sinceEvents_.isValid() && !sinceEvents_.hasExpired(kEveryMs)) return;
    QCoreApplication::processEvents();
    sinceEvents_.start();
}

}  // namespace trelmo::ui
