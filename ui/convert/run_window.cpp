#include "ui/convert/run_window.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "ui/common/app_setup.h"
#include "ui/common/qt_cursor.h"
#include "ui/common/qt_file_dialog.h"
#include "ui/common/qt_messages.h"
#include "ui/convert/frm_main.h"

namespace trelmo::ui {

int runConversionWindow(int& argc, char** argv) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool headless = !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
                          !(platform && *platform);
    if (headless) {
        std::cerr << "trelmo: no display to open the conversion window on; "
                     "to convert without a window give three paths: CSV DSD XML\n";
        return 1;
    }
    QApplication app(argc, argv);
    setUpApplication(app, std::cerr);

    QtMessages messages;
    QtFileDialogBackend files;
    QtCursor cursor;
    UiServices services{messages, files, cursor};
    FrmMain frmMain(services);
    frmMain.show();
    return QApplication::exec();
}

}  // namespace trelmo::ui
