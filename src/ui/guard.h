// The one guard around every event handler: an exception that reaches it is
// shown in the general error box and the program goes on. No exception ever
// crosses a window procedure.
#pragma once

#include <exception>

#include "ui/message_dialog.h"

namespace norvane {

template <class Handler>
void RunGuarded(MessageDialog& messages, Handler&& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& e) {
        messages.ShowError(e.what());
    } catch (...) {
        messages.ShowError("Unknown error");
    }
}

}  // namespace norvane
