#include "clipboard/erase_clipboard.h"

namespace norvane {

void EraseClipboard(ClipboardService& clipboard, WindowHandle owner, MessageDialog& messages) {
    bool succeeded = true;
    bool leftOpen = false;  // opened by us and not yet closed
    auto fail = [&](const char* text) {
        messages.Show(text, MessageKind::Error, MessageButtons::Ok);
        succeeded = false;
    };
    try {
        leftOpen = clipboard.Open(owner);
        if (!leftOpen) fail(kEraseOpenFailed);
        if (!clipboard.Empty()) fail(kEraseEraseFailed);
        const bool closed = clipboard.Close();
        leftOpen = false;
        if (!closed) fail(kEraseCloseFailed);
    } catch (...) {
        if (leftOpen) {
            try {
                clipboard.Close();
            } catch (...) {
            }
        }
        succeeded = false;
        messages.Show(kEraseExceptFailed, MessageKind::Error, MessageButtons::Ok);
    }
    if (succeeded) messages.Show(kEraseSucceeded, MessageKind::Information, MessageButtons::Ok);
}

}  // namespace norvane
