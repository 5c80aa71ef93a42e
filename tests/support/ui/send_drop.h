#pragma once
// A drag entered onto a widget at its centre and dropped there, as the window
// system sends it, then the events the drop posts run.

class QMimeData;
class QWidget;

namespace trelmo::test {

// Whether the drag was accepted and the drop taken.
bool sendDrop(QWidget* onto, const QMimeData& data);

}  // namespace trelmo::test
