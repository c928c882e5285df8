#include <windows.h>
#include <pthread.h>

#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "timer/timer_ex.h"
#include "timer/timer_worker.h"
#include "ui/guard.h"
#include "ui/handles.h"
#include "ui/window.h"

namespace norvane {
namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kUiTickMessage = WM_APP + 1;
constexpr UINT kWorkerErrorMessage = WM_APP + 2;

// The windows here are message-only (parent HWND_MESSAGE): no bounds.
constexpr RECT kNoBounds = {0, 0, 0, 0};

// Waits for a tick on the worker while answering the messages other threads
// send to this thread's windows: the tick may be sending one and waiting.
// The message this thread is handling, when another thread sent it, is
// answered (with 0) before the wait: it may be the tick's own, sent by a
// ThreadSafe tick whose handler here stops or releases the timer.
class SentMessageWaiter final : public TimerWaiter {
  public:
    void Wake() override { SetEvent(woken_.get()); }
    void Wait() override {
        ReplyMessage(0);  // nothing when no other thread waits for this one
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        HANDLE woken = woken_.get();
        MsgWaitForMultipleObjects(1, &woken, FALSE, INFINITE, QS_SENDMESSAGE);
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }

  private:
    UniqueKernelHandle woken_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
};

}  // namespace

struct TTimerEx::Machinery {
    // Receives the Win32 timer's WM_TIMER in window mode.
    class HiddenWindow : public Window {
      public:
        explicit HiddenWindow(TTimerEx& timer) : timer_(timer) {
            RegisterClassOnce("TTimerExWindow", nullptr);
            Create("TTimerExWindow", "", 0, 0, kNoBounds, HWND_MESSAGE, nullptr);
        }

      protected:
        LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message != WM_TIMER) return Window::OnMessage(message, wParam, lParam);
            // The tick may release the timer and this window with it.
            TTimerEx& timer = timer_;
            RunGuarded(timer.errors_, [&timer] { timer.Tick(); });
            return 0;
        }

      private:
        TTimerEx& timer_;
    };

    // A tick handed over by a worker, or the error that ended its loop.
    struct Handover {
        std::shared_ptr<TimerWorkerControl> control;
        TTimerEx* timer;
        std::uint64_t request = 0;
        std::string error;
    };

    // Runs handed-over ticks on the user-interface thread, inside whatever
    // message loop it is in (modal dialogs and message boxes included).
    // One per thread, for the life of the thread.
    class HandoverWindow : public Window {
      public:
        static HWND OfThisThread() {
            static thread_local HandoverWindow* window = nullptr;
            if (!window) window = new HandoverWindow;
            return window->Handle();
        }

      protected:
        LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == kUiTickMessage) {
                RunTick(std::unique_ptr<Handover>(reinterpret_cast<Handover*>(lParam)));
                return 0;
            }
            if (message == kWorkerErrorMessage) {
                const std::unique_ptr<Handover> handover(reinterpret_cast<Handover*>(lParam));
                // Not shown once the timer has let its worker go.
                if (!handover->control->Stopped())
                    handover->timer->errors_.ShowError(handover->error);
                return 0;
            }
            return Window::OnMessage(message, wParam, lParam);
        }

      private:
        HandoverWindow() {
            RegisterClassOnce("TTimerExHandover", nullptr);
            Create("TTimerExHandover", "", 0, 0, kNoBounds, HWND_MESSAGE, nullptr);
        }

        static void RunTick(std::unique_ptr<Handover> handover) {
            TimerWorkerControl& control = *handover->control;
            if (!control.TakeUiTick(handover->request)) {
                control.FinishUiTick(handover->request, false);
                return;
            }
            // The tick may release the timer; the dialog outlives it.
            MessageDialog& errors = handover->timer->errors_;
            std::string error;
            bool failed = true;
            try {
                handover->timer->Tick();
                failed = false;
            } catch (const std::exception& e) {
                error = e.what();
            } catch (...) {
                error = "Unknown error";
            }
            // The worker goes on (or, after an error, ends) before the box shows.
            control.FinishUiTick(handover->request, failed);
            if (failed) errors.ShowError(error);
        }
    };

    // The worker thread's view of its timer.
    class Worker final : public TimerWorkerTarget {
      public:
        Worker(std::shared_ptr<TimerWorkerControl> control, TTimerEx& timer)
            : control_(std::move(control)),
              timer_(timer),
              handover_(HandoverWindow::OfThisThread()) {}

        // Runs the loop on a thread of its own; returns a handle to that thread.
        static UniqueKernelHandle Start(std::unique_ptr<Worker> worker) {
            std::thread thread([worker = std::move(worker)] { worker->Main(); });
            HANDLE duplicate = nullptr;
            DuplicateHandle(GetCurrentProcess(), pthread_gethandle(thread.native_handle()),
                            GetCurrentProcess(), &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS);
            thread.detach();
            return UniqueKernelHandle(duplicate);
        }

        void TickOnWorker() override { timer_.Tick(); }

        bool PostUiTick(std::uint64_t request) override {
            return Post(kUiTickMessage, new Handover{control_, &timer_, request, {}});
        }

      private:
        void Main() {
            std::string error;
            try {
                control_->Loop(*this);
                return;
            } catch (const std::exception& e) {
                error = e.what();
            } catch (...) {
                error = "Unknown error";
            }
            Post(kWorkerErrorMessage, new Handover{control_, &timer_, 0, std::move(error)});
        }

        bool Post(UINT message, Handover* handover) {
            if (PostMessageA(handover_, message, 0, reinterpret_cast<LPARAM>(handover)))
                return true;
            delete handover;
            return false;
        }

        std::shared_ptr<TimerWorkerControl> control_;
        TTimerEx& timer_;
        HWND handover_;
    };

    void Carry(TimerStep step, TTimerEx& timer) {
        switch (step) {
            case TimerStep::PauseWorker:
                worker->Pause();
                break;
            case TimerStep::KillWindowTimer:
                KillTimer(window->Handle(), kTimerId);
                break;
            case TimerStep::ReleaseWindow:
                window.reset();
                break;
            case TimerStep::CreateWorker:
                worker = std::make_shared<TimerWorkerControl>();
                worker->SetThreadSafe(timer.threadSafe_);
                workerThread = Worker::Start(std::make_unique<Worker>(worker, timer));
                break;
            case TimerStep::StopWorker:
                StopWorker();
                worker.reset();
                workerThread.reset();
                break;
            case TimerStep::AllocateWindow:
                window = std::make_unique<HiddenWindow>(timer);
                break;
            case TimerStep::RunWorker:
                ::SetThreadPriority(workerThread.get(), Win32PriorityOf(timer.threadPriority_));
                worker->Run(timer.interval_);
                break;
            case TimerStep::SetWindowTimer:
                if (!SetTimer(window->Handle(), kTimerId, timer.interval_, nullptr))
                    throw OutOfResources("No More Timers Available");
                break;
        }
    }

    // No tick starts after this; one running on the worker has ended.
    void StopWorker() {
        if (!worker) return;
        SentMessageWaiter waiter;
        worker->Stop(&waiter);
    }

    TimerMachinery state;
    std::unique_ptr<HiddenWindow> window;
    std::shared_ptr<TimerWorkerControl> worker;
    UniqueKernelHandle workerThread;
};

TTimerEx::TTimerEx(MessageDialog& errors)
    : errors_(errors), machinery_(std::make_unique<Machinery>()) {
    ReconfigureTimer();
}

TTimerEx::~TTimerEx() {
    // No tick starts after this, and one running on the worker has ended:
    // the worker then ends by itself, touching the timer no more.
    StopTicking();
}

void TTimerEx::StopTicking() {
    machinery_->StopWorker();
    if (machinery_->window) KillTimer(machinery_->window->Handle(), kTimerId);
}

bool TTimerEx::Enabled() const {
    return enabled_;
}
void TTimerEx::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    ReconfigureTimer();
}

std::uint32_t TTimerEx::Interval() const {
    return interval_;
}
void TTimerEx::SetInterval(std::uint32_t milliseconds) {
    if (interval_ == milliseconds) return;
    interval_ = milliseconds;
    ReconfigureTimer();
}

bool TTimerEx::Threaded() const {
    return threaded_;
}
void TTimerEx::SetThreaded(bool threaded) {
    if (threaded_ == threaded) return;
    threaded_ = threaded;
    ReconfigureTimer();
}

TThreadPriority TTimerEx::ThreadPriority() const {
    return threadPriority_;
}
void TTimerEx::SetThreadPriority(TThreadPriority priority) {
    if (threadPriority_ == priority) return;
    threadPriority_ = priority;
    if (threaded_) ReconfigureTimer();
}

bool TTimerEx::ThreadSafe() const {
    return threadSafe_;
}
void TTimerEx::SetThreadSafe(bool threadSafe) {
    threadSafe_ = threadSafe;
    if (machinery_->worker) machinery_->worker->SetThreadSafe(threadSafe);
}

const TTimerEx::NotifyEvent& TTimerEx::OnTimer() const {
    return onTimer_;
}
void TTimerEx::SetOnTimer(NotifyEvent handler) {
    {
        std::lock_guard lock(handlerMutex_);
        onTimer_ = std::move(handler);
    }
    ReconfigureTimer();
}

void TTimerEx::Tick() {
    if (!enabled_) return;
    NotifyEvent handler;
    {
        // A copy: the handler may assign another, or release the timer.
        std::lock_guard lock(handlerMutex_);
        handler = onTimer_;
    }
    if (handler) handler(*this);
}

TimerSettings TTimerEx::Settings() const {
    return {enabled_, interval_, threaded_, static_cast<bool>(onTimer_)};
}

void TTimerEx::ReconfigureTimer() {
    Machinery& machinery = *machinery_;
    for (TimerStep step : PlanReconfiguration(Settings(), machinery.state)) {
        machinery.Carry(step, *this);
        machinery.state = After(machinery.state, step);
    }
}

}  // namespace norvane
