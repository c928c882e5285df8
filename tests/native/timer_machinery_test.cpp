// The timer's reconfiguration plan and its worker's loop, without Windows.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "timer/timer_plan.h"
#include "timer/timer_worker.h"

namespace norvane {
namespace {

using Steps = std::vector<TimerStep>;
using S = TimerStep;

Steps Plan(const TimerSettings& settings, const TimerMachinery& machinery) {
    const TimerPlan plan = PlanReconfiguration(settings, machinery);
    return Steps(plan.begin(), plan.end());
}

TimerMachinery Carry(const TimerSettings& settings, TimerMachinery machinery) {
    for (TimerStep step : PlanReconfiguration(settings, machinery))
        machinery = After(machinery, step);
    return machinery;
}

constexpr TimerMachinery kNew{};
constexpr TimerMachinery kWindowRunning{.window = true, .windowTimer = true};
constexpr TimerMachinery kWorkerRunning{.worker = true, .workerRunning = true};
constexpr TimerMachinery kWorkerPaused{.worker = true};

TimerSettings Ticking(bool threaded) {
    return {.enabled = true, .interval = 50, .threaded = threaded, .hasHandler = true};
}

TEST(TimerPlan, ANewTimerHasItsWindowAndNoTimerUntilItHasAHandler) {
    EXPECT_EQ(Plan(TimerSettings{}, kNew), Steps({S::AllocateWindow}));
    EXPECT_EQ(Plan(Ticking(false), {.window = true}), Steps({S::SetWindowTimer}));
}

TEST(TimerPlan, EveryChangeStopsFirstThenRestarts) {
    // Window mode: the countdown starts afresh (a handler assigned again too).
    EXPECT_EQ(Plan(Ticking(false), kWindowRunning), Steps({S::KillWindowTimer, S::SetWindowTimer}));
    // Thread mode: the worker is paused and run again, never recreated.
    EXPECT_EQ(Plan(Ticking(true), kWorkerRunning), Steps({S::PauseWorker, S::RunWorker}));
}

TEST(TimerPlan, SwitchingModesExchangesTheMachinery) {
    EXPECT_EQ(Plan(Ticking(true), kWindowRunning),
              Steps({S::KillWindowTimer, S::ReleaseWindow, S::CreateWorker, S::RunWorker}));
    EXPECT_EQ(Plan(Ticking(false), kWorkerRunning),
              Steps({S::PauseWorker, S::StopWorker, S::AllocateWindow, S::SetWindowTimer}));
    EXPECT_EQ(Plan(TimerSettings{}, kWorkerPaused), Steps({S::StopWorker, S::AllocateWindow}));
}

TEST(TimerPlan, NoIntervalNoEnabledOrNoHandlerStopsEitherMode) {
    for (bool threaded : {false, true}) {
        TimerSettings noInterval = Ticking(threaded), disabled = Ticking(threaded),
                      noHandler = Ticking(threaded);
        noInterval.interval = 0;
        disabled.enabled = false;
        noHandler.hasHandler = false;
        for (const TimerSettings& settings : {noInterval, disabled, noHandler}) {
            EXPECT_FALSE(ShouldTick(settings));
            const TimerMachinery running = threaded ? kWorkerRunning : kWindowRunning;
            EXPECT_EQ(Plan(settings, running),
                      Steps({threaded ? S::PauseWorker : S::KillWindowTimer}));
        }
    }
}

// From every state that some history of settings leads to, any settings
// leave exactly the machinery of their mode, running exactly when they ask
// for ticks.
TEST(TimerPlan, EveryHistoryEndsInTheMachineryOfTheSettings) {
    std::vector<TimerSettings> all;
    for (int bits = 0; bits < 16; ++bits)
        all.push_back({.enabled = (bits & 1) != 0,
                       .interval = (bits & 2) ? 20u : 0u,
                       .threaded = (bits & 4) != 0,
                       .hasHandler = (bits & 8) != 0});
    std::vector<TimerMachinery> reached;
    for (const TimerSettings& first : all) reached.push_back(Carry(first, Carry({}, kNew)));
    for (const TimerMachinery& from : reached) {
        for (const TimerSettings& settings : all) {
            const TimerMachinery to = Carry(settings, from);
            EXPECT_EQ(to.worker, settings.threaded);
            EXPECT_EQ(to.window, !settings.threaded);
            EXPECT_EQ(to.workerRunning, settings.threaded && ShouldTick(settings));
            EXPECT_EQ(to.windowTimer, !settings.threaded && ShouldTick(settings));
        }
    }
}

// Records what the loop asks for; the test plays the user-interface thread.
class RecordingTarget : public TimerWorkerTarget {
  public:
    void TickOnWorker() override {
        std::unique_lock lock(mutex_);
        ++ticksHere;
        tickThread = std::this_thread::get_id();
        inTick = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !holdTicks; });
        inTick = false;
        lock.unlock();
        if (onTick) onTick();
    }
    bool PostUiTick(std::uint64_t request) override {
        std::lock_guard lock(mutex_);
        posted.push_back(request);
        changed_.notify_all();
        return true;
    }
    // Waits up to 10 s for `condition`, read under the lock.
    bool WaitFor(const std::function<bool()>& condition) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), condition);
    }
    void Release() {
        std::lock_guard lock(mutex_);
        holdTicks = false;
        changed_.notify_all();
    }
    std::uint64_t LastPosted() {
        std::lock_guard lock(mutex_);
        return posted.back();
    }

    int ticksHere = 0;
    std::thread::id tickThread;
    bool holdTicks = false;
    bool inTick = false;
    std::vector<std::uint64_t> posted;
    std::function<void()> onTick;  // after the recording, outside the lock

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class TimerWorkerTest : public ::testing::Test {
  protected:
    ~TimerWorkerTest() override {
        control.Stop();
        if (worker.joinable()) worker.join();
    }
    void StartLoop() {
        worker = std::thread([this] {
            try {
                control.Loop(target);
            } catch (const std::exception& e) {
                thrown = e.what();
            }
        });
    }
    int TicksHere() {
        int ticks = 0;
        target.WaitFor([&] { return ticks = target.ticksHere, true; });
        return ticks;
    }
    std::size_t Posted() {
        std::size_t count = 0;
        target.WaitFor([&] { return count = target.posted.size(), true; });
        return count;
    }
    void Answer(std::uint64_t request, bool failed = false) {
        control.FinishUiTick(request, failed);
    }

    TimerWorkerControl control;
    RecordingTarget target;
    std::thread worker;
    std::string thrown;
};

TEST_F(TimerWorkerTest, ThreadSafeTicksRunOnTheWorker) {
    control.SetThreadSafe(true);
    control.Run(5);
    StartLoop();
    ASSERT_TRUE(target.WaitFor([&] { return target.ticksHere >= 3; }));
    EXPECT_EQ(target.tickThread, worker.get_id());
    EXPECT_EQ(Posted(), 0u);
}

TEST_F(TimerWorkerTest, HandsTicksOverAndSleepsAgainOnlyOnceAnswered) {
    control.Run(1);
    StartLoop();
    ASSERT_TRUE(target.WaitFor([&] { return target.posted.size() == 1; }));
    std::this_thread::sleep_for(milliseconds(50));
    EXPECT_EQ(Posted(), 1u);
    EXPECT_TRUE(control.TakeUiTick(target.LastPosted()));
    Answer(target.LastPosted());
    ASSERT_TRUE(target.WaitFor([&] { return target.posted.size() == 2; }));
    EXPECT_EQ(TicksHere(), 0);
}

TEST_F(TimerWorkerTest, NothingTicksBeforeItRunsNorWhilePaused) {
    StartLoop();
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(Posted(), 0u);
    control.Run(1);
    ASSERT_TRUE(target.WaitFor([&] { return target.posted.size() == 1; }));
    // Paused with a tick handed over: it is not run, and no other follows.
    control.Pause();
    EXPECT_FALSE(control.TakeUiTick(target.LastPosted()));
    Answer(target.LastPosted());
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(Posted(), 1u);
}

TEST_F(TimerWorkerTest, ASleepOverdueWhilePausedCompletesOnResume) {
    control.SetThreadSafe(true);
    control.Run(600);
    StartLoop();
    std::this_thread::sleep_for(milliseconds(50));
    control.Pause();
    std::this_thread::sleep_for(milliseconds(700));
    EXPECT_EQ(TicksHere(), 0);
    const auto resumed = Clock::now();
    control.Run(600);
    ASSERT_TRUE(target.WaitFor([&] { return target.ticksHere == 1; }));
    // A sleep begun afresh would take the whole 600 ms.
    EXPECT_LT(Clock::now() - resumed, milliseconds(350));
}

TEST_F(TimerWorkerTest, ANewIntervalAppliesFromTheNextSleep) {
    control.SetThreadSafe(true);
    control.Run(300);
    StartLoop();
    ASSERT_TRUE(target.WaitFor([&] { return target.ticksHere == 1; }));
    const auto secondBegan = Clock::now();
    std::this_thread::sleep_for(milliseconds(50));
    control.Pause();
    control.Run(60'000);
    ASSERT_TRUE(target.WaitFor([&] { return target.ticksHere == 2; }));
    EXPECT_LT(Clock::now() - secondBegan, milliseconds(5'000));
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_EQ(TicksHere(), 2);
}

// A timer starts with one interval and gets its own a moment later, after
// the worker has begun counting: the first tick follows the later one,
// shorter or longer.
TEST_F(TimerWorkerTest, TheFirstSleepAfterAStartEndsAtTheIntervalSetLast) {
    control.SetThreadSafe(true);
    auto started = Clock::now();
    control.Run(60'000);
    StartLoop();
    std::this_thread::sleep_for(milliseconds(50));
    control.Pause();
    control.Run(100);
    ASSERT_TRUE(target.WaitFor([&] { return target.ticksHere == 1; }));
    EXPECT_LT(Clock::now() - started, milliseconds(5'000));
    control.Stop();
    worker.join();

    TimerWorkerControl lengthened;
    lengthened.SetThreadSafe(true);
    started = Clock::now();
    lengthened.Run(500);
    std::thread loop([&] { lengthened.Loop(target); });
    std::this_thread::sleep_for(milliseconds(50));
    lengthened.Pause();
    lengthened.Run(1'500);
    std::this_thread::sleep_until(started + milliseconds(1'000));
    EXPECT_EQ(TicksHere(), 1);
    ASSERT_TRUE(target.WaitFor([&] { return target.ticksHere == 2; }));
    lengthened.Stop();
    loop.join();
}

TEST_F(TimerWorkerTest, StopEndsASleepOrAHandoverAtOnce) {
    control.Run(60'000);
    StartLoop();
    std::this_thread::sleep_for(milliseconds(20));
    auto stopped = Clock::now();
    control.Stop();
    worker.join();
    EXPECT_LT(Clock::now() - stopped, milliseconds(5'000));

    TimerWorkerControl handingOver;
    handingOver.Run(1);
    std::thread loop([&] { handingOver.Loop(target); });
    ASSERT_TRUE(target.WaitFor([&] { return target.posted.size() == 1; }));
    handingOver.Stop();
    loop.join();
    EXPECT_FALSE(handingOver.TakeUiTick(target.LastPosted()));
    EXPECT_TRUE(handingOver.Stopped());
}

TEST_F(TimerWorkerTest, StopWaitsForATickRunningOnTheWorker) {
    control.SetThreadSafe(true);
    target.holdTicks = true;
    control.Run(1);
    StartLoop();
    ASSERT_TRUE(target.WaitFor([&] { return target.inTick; }));
    std::atomic<bool> returned = false;
    std::thread stopper([&] {
        control.Stop();
        returned = true;
    });
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_FALSE(returned);
    target.Release();
    stopper.join();
    worker.join();
    EXPECT_EQ(TicksHere(), 1);
}

// Answers what the held tick waits for, as a user-interface thread answers
// a message sent to one of its windows, then sleeps until woken.
class AnsweringWaiter : public TimerWaiter {
  public:
    explicit AnsweringWaiter(RecordingTarget& target) : target_(target) {}
    void Wake() override {
        std::lock_guard lock(mutex_);
        woken_ = true;
        changed_.notify_all();
    }
    void Wait() override {
        ++waits;
        target_.Release();
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return woken_; });
    }
    int waits = 0;

  private:
    RecordingTarget& target_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool woken_ = false;
};

TEST_F(TimerWorkerTest, StopWaitsThroughItsWaiterWhichMayServeTheTick) {
    control.SetThreadSafe(true);
    target.holdTicks = true;
    control.Run(1);
    StartLoop();
    ASSERT_TRUE(target.WaitFor([&] { return target.inTick; }));
    AnsweringWaiter waiter(target);
    control.Stop(&waiter);  // the tick ends only once the waiter has answered it
    EXPECT_GE(waiter.waits, 1);
    worker.join();
    EXPECT_EQ(TicksHere(), 1);
}

TEST_F(TimerWorkerTest, ATickMayStopItsOwnWorker) {
    control.SetThreadSafe(true);
    control.Run(1);
    target.onTick = [&] { control.Stop(); };
    StartLoop();
    worker.join();
    EXPECT_EQ(TicksHere(), 1);
}

TEST_F(TimerWorkerTest, AnErrorInATickEndsTheLoop) {
    control.SetThreadSafe(true);
    control.Run(1);
    target.onTick = [] { throw std::runtime_error("tick failed"); };
    StartLoop();
    worker.join();
    EXPECT_EQ(thrown, "tick failed");
    EXPECT_EQ(TicksHere(), 1);

    TimerWorkerControl handingOver;
    handingOver.Run(1);
    std::thread loop([&] { handingOver.Loop(target); });
    ASSERT_TRUE(target.WaitFor([&] { return target.posted.size() == 1; }));
    ASSERT_TRUE(handingOver.TakeUiTick(target.LastPosted()));
    handingOver.FinishUiTick(target.LastPosted(), true);
    loop.join();
    EXPECT_EQ(Posted(), 1u);
}

}  // namespace
}  // namespace norvane
