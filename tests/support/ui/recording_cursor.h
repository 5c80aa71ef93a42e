#pragma once
// A mouse pointer for tests: records every change.

#include <vector>

#include "ui/common/cursor.h"

namespace trelmo::test {

class RecordingCursor : public ui::CursorControl {
public:
    void setWait(bool wait) override {
        changes.push_back(wait);
        this->wait = wait;
    }

    bool wait = false;          // the pointer now: true for the hourglass
    std::vector<bool> changes;  // every setWait, in order
};

}  // namespace trelmo::test
