#pragma once
// Starting a window from the window module (see window_module.cpp).

namespace trelmo::app {

// Loads the module beside the executable or in its installed folder and runs
// its entry point `entry`; 1 with a message on standard error, headed by
// `program`, when it cannot be loaded. When it is not there at all, the
// message names the package that holds it, followed by `otherwise` (what the
// program does without it, or "").
int runWindowModule(const char* program, const char* entry, const char* otherwise, int& argc, char** argv);

}  // namespace trelmo::app
