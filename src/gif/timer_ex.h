// TTimerEx: a timer that raises OnTimer every Interval milliseconds, either
// from a hidden window's Win32 timer on the user-interface thread (window
// mode) or from a worker thread of its own (thread mode), which runs the
// tick on the user-interface thread and waits for it, or runs it on the
// worker itself when ThreadSafe is set.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>

#include "gif/thread_priority.h"
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
    bool ThreadSafe() const;
    void SetThreadSafe(bool threadSafe);
    const NotifyEvent& OnTimer() const;
    // Always reconfigures, even for the handler already assigned.
    void SetOnTimer(NotifyEvent handler);

  protected:
    // Raises OnTimer when Enabled and a handler is assigned.
    virtual void Tick();
    // Brings the machinery (hidden window, Win32 timer, worker) in line with
    // the properties; throws OutOfResources "No More Timers Available".
    void ReconfigureTimer();

  private:
    // Filled in by the implementation.
};

}  // namespace norvane
