#pragma once
// Starting the conversion window from its module (see window_module.cpp).

namespace trelmo::app {

// Loads the module beside the executable or in its installed folder and runs
// the window; 1 with a message on standard error when it cannot be loaded.
int runWindowModule(int& argc, char** argv);

}  // namespace trelmo::app
