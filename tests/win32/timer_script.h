// Drives this thread's own windows from a timer, inside whatever modal loop
// is running (a form's, a message box's): steps run one after the other, each
// until it says it is done. Steps must not block; they post what they do.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace norvane::testing {

inline BOOL CALLBACK KeepVisibleBox(HWND w, LPARAM found) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(w)) *reinterpret_cast<HWND*>(found) = w;
    return TRUE;
}

// The visible message box of this thread, if any.
inline HWND FindThreadBox() {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), KeepVisibleBox, reinterpret_cast<LPARAM>(&box));
    return box;
}

// Presses `key` on the box's Yes or OK button.
inline void PressInBox(HWND box, WPARAM key) {
    HWND button = GetDlgItem(box, IDYES) ? GetDlgItem(box, IDYES) : GetDlgItem(box, IDOK);
    PostMessageA(button, WM_KEYDOWN, key, 0);
    PostMessageA(button, WM_KEYUP, key, 0);
}

class TimerScript {
  public:
    using Step = std::function<bool()>;

    // After `timeout` the script gives up: `giveUp` then ends what it started.
    TimerScript(std::vector<Step> steps, std::function<void()> giveUp,
                std::chrono::milliseconds timeout = std::chrono::seconds(20))
        : steps_(std::move(steps)),
          giveUp_(std::move(giveUp)),
          deadline_(std::chrono::steady_clock::now() + timeout) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, &Tick);
    }
    ~TimerScript() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    TimerScript(const TimerScript&) = delete;
    TimerScript& operator=(const TimerScript&) = delete;

    bool Finished() const { return next_ == steps_.size(); }
    bool GaveUp() const { return gaveUp_; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TimerScript* self = current_;
        if (!self || self->Finished() || self->gaveUp_) return;
        if (std::chrono::steady_clock::now() > self->deadline_) {
            self->gaveUp_ = true;
            if (HWND box = FindThreadBox()) EndDialog(box, IDCANCEL);
            self->giveUp_();
            return;
        }
        if (self->steps_[self->next_]()) ++self->next_;
    }

    static inline TimerScript* current_ = nullptr;
    std::vector<Step> steps_;
    std::function<void()> giveUp_;
    std::chrono::steady_clock::time_point deadline_;
    std::size_t next_ = 0;
    bool gaveUp_ = false;
    UINT_PTR timer_ = 0;
};

}  // namespace norvane::testing
