#pragma once
// The editor's controls are laid out in twips, 15 to a pixel.

#include <QString>
#include <QWidget>

namespace trelmo::ui {

inline constexpr int kTwipsPerPixel = 15;

inline int px(int twips) { return qRound(twips / double(kTwipsPerPixel)); }

// Names the widget and sets its geometry in twips.
template <class W>
W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(px(left), px(top), px(width), px(height));
    return widget;
}

}  // namespace trelmo::ui
