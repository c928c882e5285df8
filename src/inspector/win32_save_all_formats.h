// "Save All Formats...": every format on the clipboard copied out at once,
// a folder asked for, and in a new folder of it named after the time a file
// a format, written as Save As writes it, with their index. A long save
// shows its progress and can be stopped between files.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "clipboard/clipboard_service.h"
#include "inspector/save_all_formats.h"
#include "ui/message_dialog.h"

namespace norvane {

// The folder picker, titled for this command.
std::optional<std::string> PickSaveAllFolder(HWND owner);
LocalTime LocalTimeNow();

struct SaveAllSettings {
    // Asks for the folder to save in; none when the user cancels.
    std::function<std::optional<std::string>(HWND owner)> pickFolder = PickSaveAllFolder;
    std::function<LocalTime()> now = LocalTimeNow;
    // The progress shows once the save has taken this long; while the
    // formats are read, once the reading has.
    unsigned progressAfterMs = 500;
    unsigned readingProgressAfterMs = 500;
};

// Reports in message boxes owned by `window`, which takes no input while
// the files are written. The folder made, if one was.
std::optional<std::string> SaveAllFormats(ClipboardService& clipboard, MessageDialog& messages,
                                          HWND window, const SaveAllSettings& settings = {});

}  // namespace norvane
