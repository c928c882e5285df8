// The state a timer shares with its worker thread, and the worker's loop.
// The worker never sleeps blindly: it waits on a condition, so the timer
// can pause it, run it again or tell it to end at any moment without
// suspending the thread where it stands (a suspended thread may hold a
// lock of the heap that the user-interface thread needs next).
//
// A sleep's deadline is fixed when the sleep begins, from the interval of
// that moment; a pause holds the tick back but not the deadline, so a sleep
// whose time passed while paused completes as soon as it runs again.
// The one exception is the first sleep after a start (a Run that finds the
// worker waiting to begin a sleep): it counts from its beginning to the
// interval in force until it ends. A timer is usually started by setting
// its handler and then its interval, or the reverse, each a Run of its own;
// the first tick must come after the interval set last, whether or not the
// worker thread happened to begin counting between the two.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace norvane {

// How a thread that stops the worker waits for the tick running on it. A
// user-interface thread must go on answering the messages that other
// threads send to its windows meanwhile: the tick may be sending one, or
// be waiting for the answer to the one whose handler stops it.
class TimerWaiter {
  public:
    virtual ~TimerWaiter() = default;
    // The tick has ended; called by the worker with the control's lock held.
    virtual void Wake() = 0;
    // Blocks until Wake, or until there is something else to look at.
    virtual void Wait() = 0;
};

// What the loop calls for a tick.
class TimerWorkerTarget {
  public:
    virtual ~TimerWorkerTarget() = default;
    // A tick on the worker thread itself.
    virtual void TickOnWorker() = 0;
    // Hands tick `request` to the user-interface thread, which answers it
    // with TakeUiTick and FinishUiTick; false if it cannot be handed over.
    virtual bool PostUiTick(std::uint64_t request) = 0;
};

class TimerWorkerControl {
  public:
    // --- The user-interface thread ---
    // Counts down (again) and ticks every `milliseconds`; the value applies
    // from the next sleep.
    void Run(std::uint32_t milliseconds);
    void Pause();
    // Read before every tick: tick on the worker rather than on the
    // user-interface thread.
    void SetThreadSafe(bool threadSafe);
    // Tells the loop to end. No tick starts after this returns; a tick
    // already running on the worker is waited for (unless Stop is called
    // from inside it), so that the timer it calls may then go; by `waiter`
    // when one is given.
    void Stop(TimerWaiter* waiter = nullptr);
    // Whether handed-over tick `request` is to run now: false once stopped
    // or paused. Every request is answered with FinishUiTick.
    bool TakeUiTick(std::uint64_t request);
    // `failed`: the tick raised an error, which ends the loop.
    void FinishUiTick(std::uint64_t request, bool failed);
    bool Stopped() const;

    // --- The worker thread ---
    // Sleeps and ticks until stopped. An exception from TickOnWorker ends
    // the loop and leaves it.
    void Loop(TimerWorkerTarget& target);

  private:
    enum class Handover { Done, Failed, Stopped };
    // Waits out one sleep; false when stopped.
    bool Sleep(std::unique_lock<std::mutex>& lock);
    void TickHere(std::unique_lock<std::mutex>& lock, TimerWorkerTarget& target);
    Handover TickOnUi(std::unique_lock<std::mutex>& lock, TimerWorkerTarget& target);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool running_ = false;
    bool stopped_ = false;
    bool threadSafe_ = false;
    std::uint32_t interval_ = 0;
    bool waitingToSleep_ = true;  // blocked before a sleep, for want of a Run
    bool startedSleep_ = false;   // the next or current sleep follows interval_
    bool tickingHere_ = false;    // a tick runs on the worker
    std::thread::id worker_;
    std::vector<TimerWaiter*> waiters_;  // Stops waiting for a tick here
    std::uint64_t lastRequest_ = 0;
    std::uint64_t answered_ = 0;
    bool failed_ = false;
};

}  // namespace norvane
