#pragma once
// For the screenshot programs: once the windows are drawn, the rectangle
// that holds the main window and its visible companions ("WxH+X+Y") written
// to a file, which the scripts wait for; the program quits after a minute.

#include <QString>

class QWidget;

namespace trelmo::test {

// `extra` is one more window to take in when it is shown (may be null).
void writeGeometryWhenShown(const QString& path, const QWidget& window, const QWidget* extra);

}  // namespace trelmo::test
