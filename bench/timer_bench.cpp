// What a running timer costs under Wine (or Windows): processor time of the
// whole process per second of ticking at 100 Hz in each mode, the period
// actually seen, and the time of one create/thread/window/destroy cycle.
// Build: cmake --build --preset win32 --target timer_bench; run it with wine.
#include <windows.h>

#include <cstdio>

#include "timer/timer_ex.h"
#include "ui/application.h"
#include "win32_bench_support.h"

namespace {

using norvane::TTimerEx;

using norvane::bench::NoMessages;
using norvane::bench::Seconds;

double ProcessorSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

void PumpFor(double seconds) {
    const double end = Seconds() + seconds;
    for (double now = Seconds(); now < end; now = Seconds()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>((end - now) * 1000) + 1,
                                  QS_ALLINPUT);
        norvane::ProcessPendingMessages();
    }
}

}  // namespace

int main() {
    NoMessages errors;
    constexpr double kRun = 5.0;
    std::printf("%-12s %14s %12s\n", "Mode", "CPU ms per s", "Period ms");
    const char* names[] = {"window", "thread", "thread-safe"};
    for (int mode = 0; mode < 3; ++mode) {
        TTimerEx timer(errors);
        timer.SetThreaded(mode != 0);
        timer.SetThreadSafe(mode == 2);
        timer.SetInterval(10);
        volatile long ticks = 0;
        timer.SetOnTimer([&](TTimerEx&) { InterlockedIncrement(&ticks); });
        PumpFor(0.2);
        const double cpu = ProcessorSeconds();
        const long before = ticks;
        PumpFor(kRun);
        timer.SetEnabled(false);
        const double used = ProcessorSeconds() - cpu;
        std::printf("%-12s %14.2f %12.2f\n", names[mode], used * 1000 / kRun,
                    kRun * 1000 / static_cast<double>(ticks - before));
    }
    constexpr int kCycles = 1000;
    const double start = Seconds();
    for (int i = 0; i < kCycles; ++i) {
        TTimerEx timer(errors);
        timer.SetOnTimer([](TTimerEx&) {});
        timer.SetInterval(1);
        timer.SetThreaded(true);
        timer.SetThreaded(false);
    }
    std::printf("cycle: %.3f ms (create, thread mode, window mode, destroy)\n",
                (Seconds() - start) * 1000 / kCycles);
}
