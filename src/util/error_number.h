// An error code as the program's messages give one the system has no text
// for: "error 0x80070026".
#pragma once

#include <cstdio>
#include <string>

namespace norvane {

inline std::string ErrorNumberText(unsigned long code) {
    char text[24];
    std::snprintf(text, sizeof text, "error 0x%08lX", code);
    return text;
}

}  // namespace norvane
