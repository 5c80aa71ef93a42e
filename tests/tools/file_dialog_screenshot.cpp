// Shows the conversion window's CSV chooser for scripts/screenshot-file-dialog:
// the real window with Qt's own services and set-up, and the real file dialog
// over it, opened in the working folder. When the dialog is up it writes the
// geometry of the window and the dialog together ("WxH+X+Y") to the file named
// by the first argument, then stays until it is killed (or a minute has passed).
//   file_dialog_screenshot GEOMETRY-FILE
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <iostream>

#include "ui/common/app_setup.h"
#include "ui/common/qt_cursor.h"
#include "ui/common/qt_file_dialog.h"
#include "ui/common/qt_messages.h"
#include "ui/convert/frm_main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::cerr << "usage: file_dialog_screenshot GEOMETRY-FILE\n";
        return 2;
    }
    using namespace trelmo;
    ui::QtMessages messages;
    ui::QtFileDialogBackend files;
    ui::QtCursor cursor;
    ui::UiServices services{messages, files, cursor};
    ui::setUpApplication(app, std::cerr, messages);
    ui::FrmMain window(services);
    window.show();

    const QString geometryFile = QString::fromLocal8Bit(argv[1]);
    // Once the dialog has painted, the rectangle that holds both windows.
    QTimer::singleShot(1500, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        const QRect both = window.frameGeometry().united(dialog->frameGeometry());
        QFile out(geometryFile);
        if (out.open(QIODevice::WriteOnly)) {
            out.write(QStringLiteral("%1x%2+%3+%4\n")
                          .arg(both.width()).arg(both.height()).arg(both.x()).arg(both.y()).toLatin1());
        }
    });
    QTimer::singleShot(300, [&] { window.findChild<QPushButton*>(QStringLiteral("Command1"))->click(); });
    QTimer::singleShot(60000, &app, &QApplication::quit);
    return app.exec();
}
