// What the Win32 benchmarks share: message boxes that show nothing, and a
// clock.
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/message_dialog.h"

namespace norvane::bench {

class NoMessages : public MessageDialog {
  public:
    MessageAnswer Show(std::string_view, MessageKind, MessageButtons) override {
        return MessageAnswer::Ok;
    }
    void ShowError(std::string_view) noexcept override {}
};

// Seconds from the performance counter.
inline double Seconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace norvane::bench
