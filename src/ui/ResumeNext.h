#pragma once
// The start-up's error trap: a failing step is skipped silently and the next one runs.

#include <exception>

namespace kestrove {

template <class Step>
void ResumeNext(Step&& step) noexcept {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace kestrove
