// TTimerEx: a timer that raises OnTimer every Interval milliseconds, either
// from a hidden window's Win32 timer on the user-interface thread (window
// mode) or from a worker thread of its own (thread mode), which runs the
// tick on the user-interface thread and waits for it, or runs it on the
// worker itself when ThreadSafe is set.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "timer/thread_priority.h"
#include "timer/timer_plan.h"
#include "ui/message_dialog.h"

namespace norvane {

// Raised when Windows has no timer left to give.
class OutOfResources : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TTimerEx {
  public:
    using NotifyEvent = std::function<void(TTimerEx& sender)>;

    // Errors raised by a window-mode tick go to `errors`' general error box
    // and the timer keeps running. Starts in window mode, stopped.
    explicit TTimerEx(MessageDialog& errors);
    virtual ~TTimerEx();
    TTimerEx(const TTimerEx&) = delete;
    TTimerEx& operator=(const TTimerEx&) = delete;

    bool Enabled() const;
    void SetEnabled(bool enabled);
    std::uint32_t Interval() const;
    void SetInterval(std::uint32_t milliseconds);
    bool Threaded() const;
    void SetThreaded(bool threaded);
    TThreadPriority ThreadPriority() const;
    void SetThreadPriority(TThreadPriority priority);
    // Ticks on the worker itself. A tick may send a message to the
    // user-interface thread whose handler stops or releases the timer: that
    // message is answered with 0 as the stop begins, so the tick can end.
    bool ThreadSafe() const;
    void SetThreadSafe(bool threadSafe);
    const NotifyEvent& OnTimer() const;
    // Always reconfigures, even for the handler already assigned.
    void SetOnTimer(NotifyEvent handler);

  protected:
    // Raises OnTimer when Enabled and a handler is assigned. A class that
    // overrides it is made as TimerOf<that class> (below).
    virtual void Tick();
    // No tick starts after this, and one running on the worker has ended.
    // Waiting, the calling thread answers the messages sent to its windows.
    void StopTicking();
    // Brings the machinery (hidden window, Win32 timer, worker) in line with
    // the properties; throws OutOfResources "No More Timers Available".
    void ReconfigureTimer();

  private:
    // The Win32 side: hidden window, worker thread, hand-over of ticks.
    struct Machinery;

    TimerSettings Settings() const;

    MessageDialog& errors_;
    // Read by ticks, which run on the worker when ThreadSafe is set.
    std::atomic<bool> enabled_ = true;
    mutable std::mutex handlerMutex_;
    std::uint32_t interval_ = 1000;
    bool threaded_ = false;
    TThreadPriority threadPriority_ = TThreadPriority::tpNormal;
    bool threadSafe_ = false;
    NotifyEvent onTimer_;
    std::unique_ptr<Machinery> machinery_;
};

// A timer of a class that overrides Tick: its worker stops before any part
// of that class goes, so that no tick runs on what is left of it.
//   TimerOf<CountingTimer> timer(errors);
template <class Timer>
class TimerOf final : public Timer {
  public:
    using Timer::Timer;
    ~TimerOf() override { this->StopTicking(); }
};

}  // namespace norvane
