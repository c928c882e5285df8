// Waits for the inspector to show what its worker threads made of the
// format (read, decoded, played, formatted), running this thread's
// messages meanwhile.
#pragma once

#include <chrono>

#include "inspector/win32_format_inspector_form.h"
#include "win32/message_pump.h"

namespace norvane::testing {

// Whether the workers' results were shown within the (generous) time.
inline bool InspectorSettles(TFormat_Inspector_Form& inspector,
                             std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    return PumpUntil(
        [&] {
            return !inspector.ReadingUnderWay() && !inspector.Picture().Working() &&
                   !inspector.Formatted().Working();
        },
        limit);
}

}  // namespace norvane::testing
