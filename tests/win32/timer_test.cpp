// The timer under Wine, in its three ways of ticking: from the hidden
// window's Win32 timer, from its worker through the user-interface thread,
// and on the worker itself. Wine's timers have a granularity of 10-16 ms, so
// counts have generous bounds.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "fakes/recording_messages.h"
#include "timer/timer_ex.h"
#include "ui/application.h"
#include "ui/window.h"
#include "win32/message_pump.h"
#include "win32/timer_script.h"

namespace norvane {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;
using testing::PumpFor;
using testing::PumpUntil;

// Counts every tick that reaches Tick, handler or not.
class CountingTimerPart : public TTimerEx {
  public:
    using TTimerEx::TTimerEx;
    std::atomic<int> ticks = 0;

  protected:
    void Tick() override {
        ++ticks;
        TTimerEx::Tick();
    }
};
using CountingTimer = TimerOf<CountingTimerPart>;

enum class Mode { Window, Thread, ThreadSafe };

void SetMode(TTimerEx& timer, Mode mode) {
    timer.SetThreadSafe(mode == Mode::ThreadSafe);
    timer.SetThreaded(mode != Mode::Window);
}

class TimerModes : public ::testing::TestWithParam<Mode> {
  protected:
    testing::RecordingMessages errors;
    std::atomic<int> handled = 0;
    TTimerEx::NotifyEvent count = [this](TTimerEx&) { ++handled; };
};

TEST_P(TimerModes, TicksEveryIntervalOnTheThreadOfItsMode) {
    std::atomic<DWORD> thread = 0;
    CountingTimer timer(errors);
    SetMode(timer, GetParam());
    timer.SetOnTimer([&](TTimerEx& sender) {
        EXPECT_EQ(&sender, &timer);
        // Every tick so far raised the handler. Checked here, where ticks
        // follow one another: with ThreadSafe a tick may still be running
        // on the worker when the test stops the timer below, or may find
        // the timer just disabled and raise nothing.
        EXPECT_EQ(timer.ticks, handled + 1);
        thread = GetCurrentThreadId();
        ++handled;
    });
    timer.SetInterval(20);
    PumpFor(milliseconds(400));
    timer.SetEnabled(false);
    EXPECT_GE(handled, 5);
    EXPECT_LE(handled, 25);
    EXPECT_EQ(thread == GetCurrentThreadId(), GetParam() != Mode::ThreadSafe);
    EXPECT_TRUE(errors.errors.empty());
}

// Started as the animated control starts it, the handler first (at the
// initial interval of a second), the interval a moment later: whether or
// not the worker began counting in between, the first tick follows the
// interval set last, never the first: not before that interval has passed
// since the start, and long before the initial second.
TEST_P(TimerModes, EveryStartTicksAfterTheIntervalSetLast) {
    constexpr milliseconds kInterval(100);
    // Wine's timers may fire up to one of their 10-16 ms steps early.
    constexpr milliseconds kEarliest(80);
    for (int pause : {0, 0, 0, 1, 1, 5, 5, 20, 50, 90}) {
        CountingTimer timer(errors);
        SetMode(timer, GetParam());
        std::atomic<Clock::rep> firstTick = 0;
        const Clock::time_point started = Clock::now();
        timer.SetOnTimer([&](TTimerEx&) {
            Clock::rep none = 0;
            firstTick.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
        });
        Sleep(pause);
        timer.SetInterval(static_cast<std::uint32_t>(kInterval.count()));
        ASSERT_TRUE(PumpUntil([&] { return firstTick != 0; }, milliseconds(800)))
            << "no tick in 800 ms, " << pause << " ms between handler and interval";
        const auto after = Clock::time_point(Clock::duration(firstTick.load())) - started;
        EXPECT_GE(after, kEarliest) << pause << " ms between handler and interval";
    }
    EXPECT_TRUE(errors.errors.empty());
}

TEST_P(TimerModes, NoTickWithoutIntervalEnabledOrHandler) {
    CountingTimer noInterval(errors), disabled(errors), noHandler(errors);
    for (CountingTimer* timer : {&noInterval, &disabled, &noHandler}) {
        SetMode(*timer, GetParam());
        timer->SetInterval(10);
    }
    noInterval.SetOnTimer(count);
    noInterval.SetInterval(0);
    disabled.SetEnabled(false);
    disabled.SetOnTimer(count);
    PumpFor(milliseconds(200));
    EXPECT_EQ(noInterval.ticks + disabled.ticks + noHandler.ticks, 0);
    // Each starts once the missing piece comes.
    noInterval.SetInterval(10);
    disabled.SetEnabled(true);
    noHandler.SetOnTimer(count);
    EXPECT_TRUE(
        PumpUntil([&] { return noInterval.ticks > 0 && disabled.ticks > 0 && noHandler.ticks > 0; },
                  milliseconds(2000)));
}

TEST_P(TimerModes, AHandlerMayReleaseItsTimer) {
    auto timer = std::make_unique<TTimerEx>(errors);
    SetMode(*timer, GetParam());
    timer->SetInterval(10);
    timer->SetOnTimer([&, kept = std::make_shared<int>(7)](TTimerEx&) {
        timer.reset();
        handled += *kept;  // the handler's own state outlives the timer
    });
    EXPECT_TRUE(PumpUntil([&] { return handled > 0; }, milliseconds(2000)));
    PumpFor(milliseconds(200));
    EXPECT_EQ(handled, 7);
}

// Ticks on the worker that keep a list of their own, and note any tick that
// runs once the timer's own part has begun to go.
class ListingTimerPart : public TTimerEx {
  public:
    using TTimerEx::TTimerEx;
    ~ListingTimerPart() override { alive_ = false; }
    static inline std::atomic<int> ticksAfterDeath = 0;
    std::atomic<int> ticks = 0;

  protected:
    void Tick() override {
        ++ticks;
        Sleep(1);  // long enough for a destruction to begin meanwhile
        if (!alive_) ++ticksAfterDeath;
        seen_.push_back(ticks);
        if (seen_.size() > 100) seen_.clear();
        TTimerEx::Tick();
    }

  private:
    std::atomic<bool> alive_ = true;
    std::vector<int> seen_;
};

TEST(Timer, NoTickRunsOnADerivedTimerBeingDestroyed) {
    testing::RecordingMessages errors;
    for (int i = 0; i < 200; ++i) {
        auto timer = std::make_unique<TimerOf<ListingTimerPart>>(errors);
        SetMode(*timer, Mode::ThreadSafe);
        timer->SetOnTimer([](TTimerEx&) {});
        timer->SetInterval(1);
        while (timer->ticks == 0) Sleep(0);
        timer.reset();
    }
    EXPECT_EQ(ListingTimerPart::ticksAfterDeath, 0);
}

// A tick on the worker that sends a message to a window of the
// user-interface thread, while that thread stops the worker: it answers the
// message while it waits for the tick to end.
TEST(Timer, StoppingTheWorkerAnswersWhatItsTickSends) {
    testing::RecordingMessages errors;
    HWND window =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    std::atomic<int> unanswered = 0;
    for (const bool destroy : {false, true}) {
        for (int i = 0; i < 20; ++i) {
            auto timer = std::make_unique<TTimerEx>(errors);
            SetMode(*timer, Mode::ThreadSafe);
            std::atomic<bool> sending = false;
            timer->SetOnTimer([&](TTimerEx&) {
                sending = true;
                DWORD_PTR result = 0;
                // Long enough to tell an answer from none, short enough to end the test.
                if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &result))
                    ++unanswered;
            });
            timer->SetInterval(1);
            while (!sending) Sleep(0);  // the tick waits for this thread now
            if (destroy)
                timer.reset();
            else
                timer->SetThreaded(false);
        }
    }
    DestroyWindow(window);
    EXPECT_EQ(unanswered, 0);
}

// A window of this thread that runs an action for every kAct it receives.
class ActingWindow final : public Window {
  public:
    static constexpr UINT kAct = WM_APP + 7;
    explicit ActingWindow(std::function<void()> action) : action_(std::move(action)) {
        RegisterClassOnce("TActingWindow", nullptr);
        Create("TActingWindow", "", 0, 0, RECT{}, HWND_MESSAGE, nullptr);
    }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != kAct) return Window::OnMessage(message, wParam, lParam);
        action_();
        return 1;
    }

  private:
    std::function<void()> action_;
};

// A tick on the worker that sends a message whose handler, on the
// user-interface thread, stops the worker or releases the timer: the stop
// cannot wait for a tick that waits for it.
TEST(Timer, AMessageSentByAWorkerTickMayStopOrReleaseTheTimer) {
    testing::RecordingMessages errors;
    for (const bool release : {false, true}) {
        auto timer = std::make_unique<TTimerEx>(errors);
        ActingWindow window([&] {
            if (release)
                timer.reset();
            else if (timer)
                timer->SetThreaded(false);
        });
        std::atomic<int> answered = 0, unanswered = 0;
        SetMode(*timer, Mode::ThreadSafe);
        timer->SetOnTimer([&](TTimerEx&) {
            DWORD_PTR result = 0;
            // Bounded: a stop that waits for this tick fails the test, not hangs it.
            if (SendMessageTimeoutA(window.Handle(), ActingWindow::kAct, 0, 0, SMTO_NORMAL, 3000,
                                    &result))
                ++answered;
            else
                ++unanswered;
        });
        timer->SetInterval(1);
        EXPECT_TRUE(PumpUntil([&] { return answered + unanswered > 0; }, milliseconds(5000)));
        EXPECT_EQ(unanswered, 0) << (release ? "released" : "stopped");
        EXPECT_EQ(timer == nullptr, release);
        timer.reset();
    }
}

std::string ModeName(const ::testing::TestParamInfo<Mode>& info) {
    static const char* const kNames[] = {"Window", "Thread", "ThreadSafe"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(AllModes, TimerModes,
                         ::testing::Values(Mode::Window, Mode::Thread, Mode::ThreadSafe), ModeName);

TEST(Timer, TheSameHandlerAssignedAgainRestartsTheCountdown) {
    testing::RecordingMessages errors;
    CountingTimer timer(errors);
    timer.SetOnTimer([](TTimerEx&) {});
    timer.SetInterval(300);
    PumpFor(milliseconds(200));
    timer.SetOnTimer(timer.OnTimer());
    PumpFor(milliseconds(200));  // 400 ms after the start, 200 after the restart
    EXPECT_EQ(timer.ticks, 0);
    EXPECT_TRUE(PumpUntil([&] { return timer.ticks > 0; }, milliseconds(1000)));
}

// As the animated control does on every frame, on the user-interface thread.
TEST(Timer, AHandlerMaySetItsTimersInterval) {
    for (Mode mode : {Mode::Window, Mode::Thread}) {
        testing::RecordingMessages errors;
        TTimerEx timer(errors);
        SetMode(timer, mode);
        int handled = 0;
        timer.SetOnTimer([&](TTimerEx& sender) {
            ++handled;
            sender.SetInterval(sender.Interval() == 10 ? 11 : 10);
        });
        timer.SetInterval(10);
        EXPECT_TRUE(PumpUntil([&] { return handled >= 5; }, milliseconds(2000)));
    }
}

TEST(Timer, ThreadSafeTakesEffectAtTheNextTick) {
    testing::RecordingMessages errors;
    TTimerEx timer(errors);
    timer.SetThreaded(true);
    timer.SetInterval(10);
    std::atomic<DWORD> thread = 0;
    timer.SetOnTimer([&](TTimerEx&) { thread = GetCurrentThreadId(); });
    EXPECT_TRUE(PumpUntil([&] { return thread == GetCurrentThreadId(); }, milliseconds(2000)));
    timer.SetThreadSafe(true);
    EXPECT_TRUE(PumpUntil([&] { return thread != GetCurrentThreadId(); }, milliseconds(2000)));
    timer.SetThreadSafe(false);
    EXPECT_TRUE(PumpUntil([&] { return thread == GetCurrentThreadId(); }, milliseconds(2000)));
}

TEST(Timer, WindowModeErrorsGoToTheErrorBoxAndTheTimerGoesOn) {
    testing::RecordingMessages errors;
    TTimerEx timer(errors);
    timer.SetInterval(10);
    timer.SetOnTimer([](TTimerEx&) { throw std::runtime_error("Frame lost"); });
    ASSERT_TRUE(PumpUntil([&] { return errors.errors.size() >= 3; }, milliseconds(2000)));
    EXPECT_EQ(errors.errors[0], "Frame lost");
}

TEST(Timer, ThreadModeErrorsGoToTheErrorBoxAndEndTheWorker) {
    for (bool threadSafe : {false, true}) {
        testing::RecordingMessages errors;
        CountingTimer timer(errors);
        timer.SetThreaded(true);
        timer.SetThreadSafe(threadSafe);
        timer.SetInterval(10);
        timer.SetOnTimer([](TTimerEx&) { throw std::runtime_error("Frame lost"); });
        ASSERT_TRUE(PumpUntil([&] { return !errors.errors.empty(); }, milliseconds(2000)));
        PumpFor(milliseconds(200));
        EXPECT_EQ(errors.errors, std::vector<std::string>{"Frame lost"});
        EXPECT_EQ(timer.ticks, 1);
    }
}

TEST(Timer, TheWorkerRunsAtTheTimersPriority) {
    testing::RecordingMessages errors;
    TTimerEx timer(errors);
    timer.SetThreadPriority(TThreadPriority::tpLowest);  // stored until thread mode starts
    timer.SetThreaded(true);
    timer.SetThreadSafe(true);
    std::atomic<int> priority = 99;
    timer.SetOnTimer([&](TTimerEx&) { priority = GetThreadPriority(GetCurrentThread()); });
    timer.SetInterval(10);
    EXPECT_TRUE(PumpUntil([&] { return priority == -2; }, milliseconds(2000)));
    timer.SetThreadPriority(TThreadPriority::tpHighest);
    EXPECT_TRUE(PumpUntil([&] { return priority == 2; }, milliseconds(2000)));
}

void CloseBoxOfThisThread() {
    if (HWND box = testing::FindThreadBox()) PostMessageA(box, WM_COMMAND, IDOK, 0);
}

void CALLBACK CloseBoxLate(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    CloseBoxOfThisThread();
}

TEST(Timer, ThreadModeTicksRunInsideAMessageBox) {
    testing::RecordingMessages errors;
    TTimerEx timer(errors);
    timer.SetThreaded(true);
    timer.SetInterval(20);
    int ticks = 0;
    timer.SetOnTimer([&](TTimerEx&) {
        if (++ticks == 3) CloseBoxOfThisThread();
    });
    SetTimer(nullptr, 0, 5000, CloseBoxLate);  // in case the ticks never come
    MessageBoxA(nullptr, "Waiting for three ticks", "Timer", MB_OK);
    EXPECT_GE(ticks, 3);
}

DWORD HandlesOfThisProcess() {
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    return handles;
}

int ThreadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int threads = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        threads += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return threads;
}

TEST(Timer, ManyTimersSwitchingModesLeaveNothingBehind) {
    testing::RecordingMessages errors;
    std::atomic<int> ticks = 0;
    auto cycle = [&] {
        TTimerEx timer(errors);
        timer.SetOnTimer([&](TTimerEx&) { ++ticks; });
        timer.SetInterval(1);
        timer.SetThreaded(true);
        timer.SetThreaded(false);
    };
    cycle();  // the first makes what lives as long as the thread
    PumpFor(milliseconds(100));
    const DWORD handles = HandlesOfThisProcess();
    const int threads = ThreadsOfThisProcess();
    for (int i = 0; i < 10'000; ++i) {
        cycle();
        if (i % 100 == 0) ProcessPendingMessages();
    }
    EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() <= threads; }, milliseconds(10000)))
        << ThreadsOfThisProcess() << " threads, " << threads << " before";
    EXPECT_TRUE(PumpUntil([&] { return HandlesOfThisProcess() <= handles; }, milliseconds(5000)))
        << HandlesOfThisProcess() << " handles, " << handles << " before";
    const int settled = ticks;
    PumpFor(milliseconds(300));
    EXPECT_EQ(ticks, settled);
    EXPECT_TRUE(errors.errors.empty());
}

}  // namespace
}  // namespace norvane
