// What the Win32 benchmarks share: message boxes that show nothing, and a
// clock.
#pragma once

#include <windows.h>

#include <string>
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

// Runs this program again with `arguments` and waits for it to end, so that
// a case's peak memory is its own; false when it could not be started.
inline bool RunThisProgramWith(const std::string& arguments) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    // Appended piece by piece: GCC 12 warns (wrongly) of the prefix sum.
    std::string command = "\"";
    command += self;
    command += "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

}  // namespace norvane::bench
