#include "tests/support/ui/qt_app.h"

#include <cstdlib>

namespace trelmo::test {

QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "trelmo-ui-test";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: Qt objects of the tests may outlive main.
    static QApplication* app = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace trelmo::test
