// The window of a form made for a test: a layout at 96 dpi in a client area
// of the given size; and another window that holds the focus meanwhile.
#pragma once

#include <span>

#include "ui/application.h"
#include "ui/form.h"

namespace norvane::testing {

inline FormSpec TestFormSpec(const char* className, std::span<const ComponentSpec> layout,
                             int clientWidth, int clientHeight) {
    return {.className = className,
            .caption = className,
            .style = WS_OVERLAPPEDWINDOW,
            .exStyle = 0,
            .left = 40,
            .top = 40,
            .width = clientWidth,
            .height = clientHeight,
            .clientSized = true,
            .font = {.face = "Times New Roman", .height = -15},
            .designDpi = 96,
            .designTextHeight = 17,
            .components = layout};
}

// A window in front of the test's forms with the focus, as the user's
// work elsewhere; destroyed with the object.
class FocusElsewhere {
  public:
    FocusElsewhere()
        : window_(CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 100,
                                  50, nullptr, nullptr, nullptr, nullptr)) {
        SetForegroundWindow(window_);
        SetFocus(window_);
        ProcessPendingMessages();
    }
    ~FocusElsewhere() { DestroyWindow(window_); }
    FocusElsewhere(const FocusElsewhere&) = delete;
    FocusElsewhere& operator=(const FocusElsewhere&) = delete;
    HWND Handle() const { return window_; }

  private:
    HWND window_;
};

}  // namespace norvane::testing
