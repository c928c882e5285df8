#include "timer/timer_worker.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace norvane {

void TimerWorkerControl::Run(std::uint32_t milliseconds) {
    std::lock_guard lock(mutex_);
    if (waitingToSleep_) startedSleep_ = true;
    running_ = true;
    interval_ = milliseconds;
    changed_.notify_all();
}

void TimerWorkerControl::Pause() {
    std::lock_guard lock(mutex_);
    running_ = false;
    changed_.notify_all();
}

void TimerWorkerControl::SetThreadSafe(bool threadSafe) {
    std::lock_guard lock(mutex_);
    threadSafe_ = threadSafe;
}

void TimerWorkerControl::Stop(TimerWaiter* waiter) {
    std::unique_lock lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
    if (!tickingHere_ || worker_ == std::this_thread::get_id()) return;
    if (!waiter) {
        changed_.wait(lock, [this] { return !tickingHere_; });
        return;
    }
    // What the waiter lets run meanwhile may stop this worker again.
    waiters_.push_back(waiter);
    while (tickingHere_) {
        lock.unlock();
        waiter->Wait();
        lock.lock();
    }
    std::erase(waiters_, waiter);
}

bool TimerWorkerControl::TakeUiTick(std::uint64_t request) {
    std::lock_guard lock(mutex_);
    return !stopped_ && running_ && request == lastRequest_;
}

void TimerWorkerControl::FinishUiTick(std::uint64_t request, bool failed) {
    std::lock_guard lock(mutex_);
    if (request != lastRequest_) return;
    answered_ = request;
    failed_ = failed;
    changed_.notify_all();
}

bool TimerWorkerControl::Stopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

void TimerWorkerControl::Loop(TimerWorkerTarget& target) {
    std::unique_lock lock(mutex_);
    worker_ = std::this_thread::get_id();
    while (Sleep(lock)) {
        if (threadSafe_) {
            TickHere(lock, target);
        } else if (TickOnUi(lock, target) != Handover::Done) {
            return;
        }
    }
}

bool TimerWorkerControl::Sleep(std::unique_lock<std::mutex>& lock) {
    waitingToSleep_ = true;
    changed_.wait(lock, [this] { return stopped_ || running_; });
    waitingToSleep_ = false;
    const bool followsInterval = std::exchange(startedSleep_, false);
    const auto began = std::chrono::steady_clock::now();
    const std::uint32_t length = interval_;
    for (;;) {
        if (stopped_) return false;
        // Run wakes the worker, so a new interval moves this deadline at once.
        const auto deadline =
            began + std::chrono::milliseconds(followsInterval ? interval_ : length);
        if (!running_) {
            changed_.wait(lock, [this] { return stopped_ || running_; });
        } else if (std::chrono::steady_clock::now() >= deadline) {
            return true;
        } else {
            changed_.wait_until(lock, deadline);
        }
    }
}

void TimerWorkerControl::TickHere(std::unique_lock<std::mutex>& lock, TimerWorkerTarget& target) {
    tickingHere_ = true;
    lock.unlock();
    struct Done {
        TimerWorkerControl& control;
        std::unique_lock<std::mutex>& lock;
        ~Done() {
            lock.lock();
            control.tickingHere_ = false;
            for (TimerWaiter* waiter : control.waiters_) waiter->Wake();
            control.changed_.notify_all();
        }
    } done{*this, lock};
    target.TickOnWorker();
}

TimerWorkerControl::Handover TimerWorkerControl::TickOnUi(std::unique_lock<std::mutex>& lock,
                                                          TimerWorkerTarget& target) {
    const std::uint64_t request = ++lastRequest_;
    lock.unlock();
    const bool posted = target.PostUiTick(request);
    lock.lock();
    if (!posted) return Handover::Failed;
    changed_.wait(lock, [&] { return stopped_ || answered_ == request; });
    if (stopped_) return Handover::Stopped;
    return failed_ ? Handover::Failed : Handover::Done;
}

}  // namespace norvane
