#pragma once
// What the windows need from the application before the first one shows.

#include <iosfwd>

#include "engine/messages.h"

class QApplication;

namespace trelmo::ui {

// Without a Japanese font every caption shows as empty boxes: this says so in
// English, which any font shows, naming the package to install.
inline constexpr const char* kNoJapaneseFont =
    "No installed font has Japanese glyphs, so Trelmo's texts show as empty boxes.\r\n"
    "Install one, for example the Debian package fonts-noto-cjk.";

// The program's name and icon, no settings files of Qt's, Qt's own texts in
// Japanese, a font with Japanese glyphs, and Enter on buttons. What is missing
// for Japanese (Qt's translation, a font) is said on `warnings`, one line
// each; a missing font also in a message box (kNoJapaneseFont). Never fatal.
void setUpApplication(QApplication& app, std::ostream& warnings, MessageSink& messages);

}  // namespace trelmo::ui
