#pragma once
// Where the XML preview goes on the screen: always wholly on it, and never
// over the editor where the screen holds both. Beside the editor when there is
// room (the right first), with the free height; else below or above it; else
// the editor moves to the screen's corner and the preview takes the larger
// part of the rest. On a screen too small for both, the preview, as small as
// it may be, lies in the corner away from the editor's top left.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace trelmo::ui {

struct PreviewPlacement {
    static constexpr int kWidth = 560;        // the width it starts with, where there is room
    static constexpr int kMostWidth = 800;    // beside the editor, it takes the room up to this
    static constexpr int kLeastWidth = 360;   // beside the editor, at least this wide
    static constexpr int kLeastHeight = 240;  // below or above it, at least this high

    struct Result {
        QRect preview;  // the preview's frame
        QPoint editor;  // the editor's frame's new top left (where it was, unless it has to move)
    };

    // area: the screen's available geometry; editor: the editor's frame;
    // least: the smallest frame the preview may have. With keepSize the
    // preview keeps `size` (the user's) as far as the room allows; else it
    // takes the room there is.
    static Result place(const QRect& area, const QRect& editor, const QSize& size, bool keepSize,
                        const QSize& least);
};

}  // namespace trelmo::ui
