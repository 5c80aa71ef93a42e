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
                                                 bool keepSize) {
    for (const Side side : {Side::Right, Side::Left})
        if (const QRect r = room(area, editor, side); r.width() >= kLeastWidth)
            return {within(r, editor, side, size, keepSize), editor.topLeft()};
    for (const Side side : {Side::Below, Side::Above})
        if (const QRect r = room(area, editor, side); r.height() >= kLeastHeight)
            return {within(r, editor, side, size, keepSize), editor.topLeft()};

    // No room on any side: the editor goes to the corner, the preview takes
    // the larger of the two parts left.
    const QRect moved(area.topLeft(), editor.size());
    const QRect right = room(area, moved, Side::Right);
    const QRect below = room(area, moved, Side::Below);
    const auto size2 = [](const QRect& r) { return r.isValid() ? qint64(r.width()) * r.height() : 0; };
    const Side side = size2(right) >= size2(below) ? Side::Right : Side::Below;
    const QRect r = side == Side::Right ? right : below;
    if (!r.isValid()) return {QRect(area.topLeft(), size), moved.topLeft()};  // an editor larger than the screen
    return {within(r, moved, side, r.size(), true), moved.topLeft()};
}

}  // namespace trelmo::ui
