// The steps that bring a timer's machinery (hidden window with its Win32
// timer, or worker thread) in line with its properties. Every change of a
// property is one such reconfiguration: first everything stops, then the
// machinery the properties ask for is built and started.
#pragma once

#include <cstddef>
#include <cstdint>

namespace norvane {

struct TimerSettings {
    bool enabled = true;
    std::uint32_t interval = 1000;
    bool threaded = false;
    bool hasHandler = false;
};

// What exists before the reconfiguration.
struct TimerMachinery {
    bool window = false;
    bool windowTimer = false;  // Win32 timer 1 set on the window
    bool worker = false;
    bool workerRunning = false;  // counting down rather than paused
};

enum class TimerStep {
    PauseWorker,  // holds the worker wherever it is: no tick until it runs again
    KillWindowTimer,
    ReleaseWindow,
    CreateWorker,  // created paused
    StopWorker,    // told to end, and waited for while a tick runs on it; then forgotten
    AllocateWindow,
    RunWorker,       // at the timer's priority, with its interval
    SetWindowTimer,  // may fail: "No More Timers Available"
};

struct TimerPlan {
    static constexpr std::size_t kMaxSteps = 4;
    TimerStep steps[kMaxSteps] = {};
    std::size_t count = 0;

    const TimerStep* begin() const { return steps; }
    const TimerStep* end() const { return steps + count; }
};

// True when the properties ask for ticks.
bool ShouldTick(const TimerSettings& settings);

TimerPlan PlanReconfiguration(const TimerSettings& settings, const TimerMachinery& machinery);

// The machinery once `step` has succeeded.
TimerMachinery After(TimerMachinery machinery, TimerStep step);

}  // namespace norvane
