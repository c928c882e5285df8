#include "clipboard/erase_clipboard.h"

#include <cstddef>
#include <vector>

namespace norvane {

void EraseClipboard(ClipboardService& clipboard, WindowHandle owner, MessageDialog& messages) {
    // The failures are told once the clipboard is closed again: a box shown
    // while it is open would keep every other program from it until answered.
    std::vector<const char*> failures;
    std::size_t told = 0;
    auto tellFailures = [&] {
        while (told < failures.size())
            messages.Show(failures[told++], MessageKind::Error, MessageButtons::Ok);
    };
    bool leftOpen = false;  // opened by us and not yet closed
    bool excepted = false;
    try {
        leftOpen = clipboard.Open(owner);
        if (!leftOpen) failures.push_back(kEraseOpenFailed);
        if (!clipboard.Empty()) failures.push_back(kEraseEraseFailed);
        const bool closed = clipboard.Close();
        leftOpen = false;
        if (!closed) failures.push_back(kEraseCloseFailed);
        tellFailures();
    } catch (...) {
        if (leftOpen) {
            try {
                clipboard.Close();
            } catch (...) {
            }
        }
        excepted = true;
    }
    if (excepted) {
        // What failed before the error, then the error.
        try {
            tellFailures();
        } catch (...) {
        }
        messages.Show(kEraseExceptFailed, MessageKind::Error, MessageButtons::Ok);
    } else if (failures.empty()) {
        messages.Show(kEraseSucceeded, MessageKind::Information, MessageButtons::Ok);
    }
}

}  // namespace norvane
