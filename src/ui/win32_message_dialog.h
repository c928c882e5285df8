#pragma once

#include <windows.h>

#include "ui/message_dialog.h"

namespace norvane {

// Real message boxes, owned by the program's active window, or by the
// window a BoxesOwnedBy names.
class Win32MessageDialog final : public MessageDialog {
  public:
    MessageAnswer Show(std::string_view text, MessageKind kind, MessageButtons buttons) override;
    void ShowError(std::string_view text) noexcept override;
};

// While it lives, the boxes this thread shows are owned by `window` while it
// is visible: a box raised by a result that came later (a reading done on a
// worker) belongs to the window it concerns, which takes no input while the
// box is up, not to whichever window is active by then, or to none.
class BoxesOwnedBy {
  public:
    explicit BoxesOwnedBy(HWND window);
    ~BoxesOwnedBy();
    BoxesOwnedBy(const BoxesOwnedBy&) = delete;
    BoxesOwnedBy& operator=(const BoxesOwnedBy&) = delete;

  private:
    HWND before_;
};

}  // namespace norvane
