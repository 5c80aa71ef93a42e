#pragma once
// The program's look: its icon and a font that shows Japanese.

#include <QFont>
#include <QIcon>
#include <QString>

namespace trelmo::ui {

// The first installed font family that covers Japanese, or empty.
QString japaneseFontFamily();

// Makes the application font a Japanese-capable one, when one is installed.
void useJapaneseFont();

// The font of windows laid out in pixels: the application font at 12 pixels,
// so texts fit controls of fixed size whatever the screen's font DPI.
QFont windowFont();

// The program's icon (from the embedded resources).
QIcon appIcon();

}  // namespace trelmo::ui
