#include "ui/common/qt_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace trelmo::ui {

QtCursor::~QtCursor() { setWait(false); }

void QtCursor::setWait(bool wait) {
    if (wait == wait_) return;
    wait_ = wait;
    if (wait) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

NormalPointer::NormalPointer() {
    if (QGuiApplication::overrideCursor()) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        pushed_ = true;
    }
}

NormalPointer::~NormalPointer() {
    if (pushed_) QGuiApplication::restoreOverrideCursor();
}

}  // namespace trelmo::ui
