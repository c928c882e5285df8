#pragma once

#include "ui/message_dialog.h"

namespace norvane {

// Real message boxes, owned by the program's active window.
class Win32MessageDialog final : public MessageDialog {
  public:
    MessageAnswer Show(std::string_view text, MessageKind kind, MessageButtons buttons) override;
    void ShowError(std::string_view text) noexcept override;
};

}  // namespace norvane
