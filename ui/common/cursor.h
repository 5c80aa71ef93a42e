#pragma once
// The mouse pointer of a window: the hourglass while it works.

namespace trelmo::ui {

class CursorControl {
public:
    virtual ~CursorControl() = default;
    virtual void setWait(bool wait) = 0;
};

}  // namespace trelmo::ui
