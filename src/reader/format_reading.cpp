#include "reader/format_reading.h"

#include <exception>
#include <new>

namespace norvane {

void ReadOwner(ClipboardService& clipboard, FormatReading& reading) {
    const WindowHandle owner = clipboard.Owner();
    reading.hasOwner = owner != nullptr;
    reading.ownerClass = clipboard.WindowClassName(owner);
    if (owner) reading.program = clipboard.ProgramOf(owner);
}

void ReadHolder(ClipboardService& clipboard, FormatReading& reading) {
    reading.outcome = ReadOutcome::ClipboardHeld;
    const WindowHandle holder = clipboard.OpenClipboardWindow();
    reading.hasHolder = holder != nullptr;
    if (holder) {
        reading.holderClass = clipboard.WindowClassName(holder);
        reading.holderProgram = clipboard.ProgramOf(holder);
    }
}

void CopyFormat(ClipboardService& clipboard, unsigned format, FormatReading& reading) {
    try {
        auto data = clipboard.CopyFormatData(format);
        if (!data) {
            reading.outcome = ReadOutcome::NotRendered;
            return;
        }
        reading.data = std::move(*data);
        reading.outcome = ReadOutcome::Read;
    } catch (const std::bad_alloc&) {
        reading.outcome = ReadOutcome::Failed;
        reading.failure = "there is not enough memory for a copy of its data";
    } catch (const std::exception& error) {
        reading.outcome = ReadOutcome::Failed;
        reading.failure = error.what();
    }
}

FormatReading ReadFormat(ClipboardService& clipboard, unsigned format, WindowHandle window) {
    FormatReading reading;
    OpenClipboardScope open(clipboard, window);
    // The owner of the data copied: read while the clipboard is open, so
    // that no other program can put its own in between.
    ReadOwner(clipboard, reading);
    if (!open.Opened()) {
        ReadHolder(clipboard, reading);
        return reading;
    }
    if (!clipboard.IsFormatAvailable(format)) {
        reading.outcome = ReadOutcome::FormatGone;
        return reading;
    }
    CopyFormat(clipboard, format, reading);
    return reading;
}

}  // namespace norvane
