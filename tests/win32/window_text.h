// A window's text as UTF-16, whatever the window keeps.
#pragma once

#include <windows.h>

#include <string>

namespace norvane::testing {

inline std::wstring WideTextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace norvane::testing
