#include "ui/convert/run_window.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "ui/common/app_setup.h"
#include "ui/common/qt_cursor.h"
#include "ui/common/qt_file_dialog.h"
#include "ui/common/qt_messages.h"
#include "ui/convert/display_guard.h"
#include "ui/convert/frm_main.h"

namespace trelmo::ui {

int runConversionWindow(int& argc, char** argv) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool headless = !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
                          !(platform && *platform);
    if (headless) {
        std::cerr << kNoDisplay;
        return 1;
    }
    std::optional<DisplayGuard> guard(std::in_place);
    QApplication app(argc, argv);
    guard.reset();
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
