#pragma once
// Where the editor skips a failing step and runs the next one, only the
// system's run-time errors are skipped: anything else (out of memory, a broken
// invariant) reaches the handler that reports it.

#include <utility>

#include "engine/error.h"

namespace trelmo::ui {

// Runs work; false when it raised a RuntimeError, which is dropped.
template <class Work>
bool skipFailingStep(Work&& work) {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace trelmo::ui
