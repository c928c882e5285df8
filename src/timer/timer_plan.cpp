#include "timer/timer_plan.h"

namespace norvane {
namespace {

void Add(TimerPlan& plan, TimerStep step) {
    plan.steps[plan.count++] = step;
}

}  // namespace

bool ShouldTick(const TimerSettings& settings) {
    return settings.interval != 0 && settings.enabled && settings.hasHandler;
}

TimerPlan PlanReconfiguration(const TimerSettings& settings, const TimerMachinery& machinery) {
    TimerPlan plan;
    if (machinery.worker && machinery.workerRunning) Add(plan, TimerStep::PauseWorker);
    if (machinery.windowTimer) Add(plan, TimerStep::KillWindowTimer);
    if (settings.threaded) {
        if (machinery.window) Add(plan, TimerStep::ReleaseWindow);
        if (!machinery.worker) Add(plan, TimerStep::CreateWorker);
    } else {
        if (machinery.worker) Add(plan, TimerStep::StopWorker);
        if (!machinery.window) Add(plan, TimerStep::AllocateWindow);
    }
    if (ShouldTick(settings))
        Add(plan, settings.threaded ? TimerStep::RunWorker : TimerStep::SetWindowTimer);
    return plan;
}

TimerMachinery After(TimerMachinery machinery, TimerStep step) {
    switch (step) {
        case TimerStep::PauseWorker:
            machinery.workerRunning = false;
            break;
        case TimerStep::KillWindowTimer:
            machinery.windowTimer = false;
            break;
        case TimerStep::ReleaseWindow:
            machinery.window = false;
            break;
        case TimerStep::CreateWorker:
            machinery.worker = true;
            break;
        case TimerStep::StopWorker:
            machinery.worker = machinery.workerRunning = false;
            break;
        case TimerStep::AllocateWindow:
            machinery.window = true;
            break;
        case TimerStep::RunWorker:
            machinery.workerRunning = true;
            break;
        case TimerStep::SetWindowTimer:
            machinery.windowTimer = true;
            break;
    }
    return machinery;
}

}  // namespace norvane
