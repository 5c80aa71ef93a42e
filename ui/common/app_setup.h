#pragma once
// What the windows need from the application before the first one shows.

#include <iosfwd>

class QApplication;

namespace trelmo::ui {

// The program's name and icon, no settings files of Qt's, Qt's own texts in
// Japanese, a font with Japanese glyphs, and Enter on buttons. What is missing for Japanese (Qt's
// translation, a font) is said on `warnings`, one line each; never fatal.
void setUpApplication(QApplication& app, std::ostream& warnings);

}  // namespace trelmo::ui
