#pragma once

namespace trelmo::ui {

// Starts the Qt application with the conversion window and runs it until the
// window closes. Without a display it says so on standard error and returns 1.
int runConversionWindow(int& argc, char** argv);

}  // namespace trelmo::ui
