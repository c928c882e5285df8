// The window of a form made for a test: a layout at 96 dpi in a client area
// of the given size.
#pragma once

#include <span>

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

}  // namespace norvane::testing
