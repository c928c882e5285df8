// Waits for the inspector's preview to show what its worker thread made of
// the picture (decoded, played), running this thread's messages meanwhile.
#pragma once

#include <chrono>

#include "inspector/win32_format_inspector_form.h"
#include "win32/message_pump.h"

namespace norvane::testing {

// Whether the worker's results were shown within the (generous) time.
inline bool PictureSettles(TFormat_Inspector_Form& inspector,
                           std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    return PumpUntil([&] { return !inspector.Picture().Working(); }, limit);
}

}  // namespace norvane::testing
