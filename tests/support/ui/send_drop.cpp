#include "tests/support/ui/send_drop.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QWidget>

namespace trelmo::test {

bool sendDrop(QWidget* onto, const QMimeData& data) {
    const QPoint at = onto->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(onto, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(onto, &dropped);
    QCoreApplication::processEvents();
    return dropped.isAccepted();
}

}  // namespace trelmo::test
