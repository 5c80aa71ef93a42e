#pragma once
// The hourglass as Qt's wait cursor, over every window of the program.

#include "ui/common/cursor.h"

namespace trelmo::ui {

class QtCursor final : public CursorControl {
public:
    ~QtCursor() override;
    // Setting the state it already has changes nothing.
    void setWait(bool wait) override;

private:
    bool wait_ = false;
};

// While it lives, an hourglass set by QtCursor gives way to the normal pointer
// (for a message box or dialog that waits for the user).
class NormalPointer {
public:
    NormalPointer();
    ~NormalPointer();
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;

private:
    bool pushed_ = false;
};

}  // namespace trelmo::ui
