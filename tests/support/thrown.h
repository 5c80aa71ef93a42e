#pragma once
// The error a call raises, or number 0 when it raises none.

#include <utility>

#include "engine/error.h"

namespace trelmo::test {

template <class F>
RuntimeError thrown(F&& f) {
    try {
        std::forward<F>(f)();
    } catch (const RuntimeError& e) {
        return e;
    }
    return RuntimeError(0, "nothing thrown");
}

}  // namespace trelmo::test
