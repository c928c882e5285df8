#pragma once

#include "clipboard/clipboard_service.h"
#include "ui/message_dialog.h"

namespace norvane {

inline constexpr const char kEraseOpenFailed[] =
    "The Windows Clipboard could not be erased (Open phase).";
inline constexpr const char kEraseEraseFailed[] =
    "The Windows Clipboard could not be erased (Erase phase).";
inline constexpr const char kEraseCloseFailed[] =
    "The Windows Clipboard could not be erased (Close phase).";
inline constexpr const char kEraseExceptFailed[] =
    "The Windows Clipboard could not be erased (Except phase).";
inline constexpr const char kEraseSucceeded[] = "All data was erased from the Windows Clipboard !";

// Opens, empties and closes the clipboard for `owner`, each phase attempted
// whatever became of the one before, and reports each failure in turn or
// the success, once the clipboard is closed. The clipboard is never left
// open by this routine, nor held open while a box waits for the user.
void EraseClipboard(ClipboardService& clipboard, WindowHandle owner, MessageDialog& messages);

}  // namespace norvane
