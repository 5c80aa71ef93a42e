#include "tests/support/ui/qt_app.h"

#include <cstdlib>

#include "ui/common/qt_file_dialog.h"

namespace trelmo::test {

QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "trelmo-ui-test";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: Qt objects of the tests may outlive main.
    static QApplication* app = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        auto* created = new QApplication(argc, argv);
        ui::keepNoQtSettings();  // dialogs of the tests leave nothing in the user's settings
        return created;
    }();
    return *app;
}

}  // namespace trelmo::test
