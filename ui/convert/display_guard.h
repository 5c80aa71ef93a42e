#pragma once
// Starting the window system. Without a display, or with one that does not
// answer, the program says so in one line on standard error and exits with
// status 1, instead of Qt's own text and an abort.

#include <QtGlobal>

namespace trelmo::ui {

inline constexpr const char* kNoDisplay =
    "trelmo: no display to open the conversion window on; "
    "to convert without a window give three paths: CSV DSD XML\n";

// While it lives (around the construction of the application object), a
// fatal message from Qt ends the program as above. Qt's other messages of
// that time are held back and passed on when the guard ends, so that they do
// not precede the one line.
class DisplayGuard {
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;

private:
    QtMessageHandler previous_;
};

}  // namespace trelmo::ui
