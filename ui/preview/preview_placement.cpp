#include "ui/preview/preview_placement.h"

#include <algorithm>

namespace trelmo::ui {
namespace {

enum class Side { Right, Left, Below, Above };

// The free part of the screen on one side of the editor.
QRect room(const QRect& area, const QRect& e, Side side) {
    switch (side) {
    case Side::Right: return QRect(QPoint(e.right() + 1, area.top()), area.bottomRight());
    case Side::Left: return QRect(area.topLeft(), QPoint(e.left() - 1, area.bottom()));
    case Side::Below: return QRect(QPoint(area.left(), e.bottom() + 1), area.bottomRight());
    case Side::Above: return QRect(area.topLeft(), QPoint(area.right(), e.top() - 1));
    }
    return {};
}

// The preview inside the room of one side, as close to the editor as it goes.
QRect within(const QRect& r, const QRect& e, Side side, const QSize& size, bool keepSize) {
    const bool beside = side == Side::Right || side == Side::Left;
    int w, h;
    if (beside) {
        w = std::min(keepSize ? size.width() : PreviewPlacement::kMostWidth, r.width());
        h = keepSize ? std::min(size.height(), r.height()) : r.height();
    } else {
        w = std::min(keepSize ? size.width() : std::max(e.width(), PreviewPlacement::kWidth), r.width());
        h = keepSize ? std::min(size.height(), r.height()) : r.height();
    }
    const int x = side == Side::Right ? r.left()
                  : side == Side::Left ? r.right() + 1 - w
                                       : std::clamp(e.left(), r.left(), r.right() + 1 - w);
    const int y = side == Side::Below ? r.top()
                  : side == Side::Above ? r.bottom() + 1 - h
                                        : std::clamp(e.top(), r.top(), r.bottom() + 1 - h);
    return {x, y, w, h};
}

}  // namespace

PreviewPlacement::Result PreviewPlacement::place(const QRect& area, const QRect& editor, const QSize& size,
                                                 bool keepSize, const QSize& least) {
    const auto holds = [&least](const QRect& r, Side side) {
        const bool beside = side == Side::Right || side == Side::Left;
        return r.width() >= std::max(least.width(), beside ? kLeastWidth : 0) &&
               r.height() >= std::max(least.height(), beside ? 0 : kLeastHeight);
    };
    for (const Side side : {Side::Right, Side::Left, Side::Below, Side::Above})
        if (const QRect r = room(area, editor, side); holds(r, side))
            return {within(r, editor, side, size, keepSize), editor.topLeft()};

    // No room on any side: the editor goes to the corner, the preview takes
    // the larger of the two parts left that holds it.
    const QRect moved(area.topLeft(), editor.size());
    const auto size2 = [](const QRect& r) { return r.isValid() ? qint64(r.width()) * r.height() : 0; };
    const QRect right = room(area, moved, Side::Right);
    const QRect below = room(area, moved, Side::Below);
    const bool rightHolds = right.width() >= least.width() && right.height() >= least.height();
    const bool belowHolds = below.width() >= least.width() && below.height() >= least.height();
    if (rightHolds || belowHolds) {
        const bool useRight = rightHolds && (!belowHolds || size2(right) >= size2(below));
        const QRect r = useRight ? right : below;
        return {within(r, moved, useRight ? Side::Right : Side::Below, r.size(), true), moved.topLeft()};
    }

    // The screen cannot hold both: the preview, as small as it may be (and no
    // larger than the screen), in the bottom right corner, away from the
    // editor's top left, where its fields start.
    const QSize shown = least.boundedTo(area.size());
    return {QRect(area.right() + 1 - shown.width(), area.bottom() + 1 - shown.height(), shown.width(), shown.height()),
            moved.topLeft()};
}

}  // namespace trelmo::ui
