#pragma once
// The program's look: its icon and a font that shows Japanese.

#include <QFont>
#include <QIcon>
#include <QString>

namespace trelmo::ui {

// A preferred installed font family that covers Japanese, else the first
// installed one that does; empty when no installed font has Japanese glyphs.
QString japaneseFontFamily();

// Makes the application font a Japanese-capable one, when one is installed.
void useJapaneseFont();

// The font of windows laid out in pixels: the application font at 12 pixels,
// so texts fit controls of fixed size whatever the screen's font DPI.
QFont windowFont();

// The program's icon (from the embedded resources).
QIcon appIcon();

}  // namespace trelmo::ui
