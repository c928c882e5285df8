// The hourglass while a long step runs on the user-interface thread, and
// the pointer as it was afterwards.
#pragma once

#include <windows.h>

namespace norvane {

class WaitCursor {
  public:
    WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

}  // namespace norvane
