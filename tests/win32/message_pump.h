// Runs this thread's messages as the program's loop would, for tests that
// wait on timers and windows of their own thread.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "ui/application.h"

namespace norvane::testing {

// Runs the messages until `done` or the time is up; returns `done()`.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return false;
        // Short waits: ticks on a worker thread post no message to wake us.
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min<long long>(left, 10)), QS_ALLINPUT);
        ProcessPendingMessages();
    }
    return true;
}

inline void PumpFor(std::chrono::milliseconds time) {
    PumpUntil([] { return false; }, time);
}

}  // namespace norvane::testing
