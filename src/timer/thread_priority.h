// The seven thread priorities of the timer and the animated control, and the
// Win32 priorities they stand for.
#pragma once

namespace norvane {

enum class TThreadPriority {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

constexpr int Win32PriorityOf(TThreadPriority priority) {
    constexpr int kPriorities[] = {-15, -2, -1, 0, 1, 2, 15};
    return kPriorities[static_cast<int>(priority)];
}

}  // namespace norvane
