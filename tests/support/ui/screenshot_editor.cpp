#include "tests/support/ui/screenshot_editor.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace trelmo::test {

ScreenshotEditor::ScreenshotEditor() : editor(services, nullptr) {}

bool ScreenshotEditor::show() {
    editor.move(16, 16);
    editor.show();
    return QTest::qWaitForWindowExposed(&editor);
}

void writeGeometryWhenShown(const QString& path, const QWidget& window, const QWidget* extra) {
    QTimer::singleShot(500, [path, &window, other = QPointer<const QWidget>(extra)] {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly)) return;
        QRect g = window.frameGeometry();
        if (other && other->isVisible()) g = g.united(other->frameGeometry());
        out.write(QStringLiteral("%1x%2+%3+%4\n")
                      .arg(g.width()).arg(g.height()).arg(g.x()).arg(g.y()).toLatin1());
    });
    QTimer::singleShot(60000, qApp, &QApplication::quit);
}

}  // namespace trelmo::test
