// Reading one format: its data copied out of the clipboard once, with the
// owner of that data read while the clipboard is open, and the clipboard
// closed again before anything is shown. Done in the reader process (see
// win32_reader_process.h), or in this one over a clipboard held in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clipboard/clipboard_service.h"
#include "clipboard/format_data.h"

namespace norvane {

enum class ReadOutcome {
    Read,
    ClipboardHeld,  // another program holds it open
    FormatGone,     // the clipboard changed since the list was made
    NotRendered,    // the owner did not render it (delayed rendering)
    Failed,         // the copy failed (as when it is too large for memory); see `failure`
};

struct FormatReading {
    ReadOutcome outcome = ReadOutcome::Read;
    FormatData data;      // empty unless Read
    std::string failure;  // why a copy Failed
    // How long the copy took, the owner's rendering included; 0 when none was tried.
    std::uint32_t readMs = 0;
    bool hasOwner = false;
    std::string ownerClass;
    OwnerProgram program;
    // ClipboardHeld: the window of the program holding it open, if it has one.
    bool hasHolder = false;
    std::string holderClass;
    OwnerProgram holderProgram;
};

// Never throws: a copy that fails is the outcome Failed.
FormatReading ReadFormat(ClipboardService& clipboard, unsigned format, WindowHandle window);

// The steps of a reading, for a caller that opens the clipboard itself:
// the owner of its data; the outcome ClipboardHeld with who holds it, when
// it could not be opened; and with it open, one format's copy (the outcome
// Read, NotRendered or Failed; never throws).
void ReadOwner(ClipboardService& clipboard, FormatReading& reading);
void ReadHolder(ClipboardService& clipboard, FormatReading& reading);
void CopyFormat(ClipboardService& clipboard, unsigned format, FormatReading& reading);

// The whole clipboard, for "Save All Formats...".
struct CopiedFormat {
    unsigned format = 0;
    std::string registeredName;  // empty for the predefined formats
    FormatReading reading;       // Read, NotRendered or Failed, with the clipboard's owner
};

struct ClipboardSnapshot {
    // The owner; the outcome ClipboardHeld, with who held it open, when
    // nothing could be copied.
    FormatReading clipboard;
    std::vector<CopiedFormat> formats;  // in the order the system enumerates them
};

// What one save holds at once: a 32-bit program's address space takes
// little more, and the index and the files' own headers still need room.
inline constexpr std::uint64_t kMostCopiedBytes = std::uint64_t{512} << 20;

// Opens the clipboard once, copies every format out (one that cannot be
// copied, too large for memory say, keeps why; once the copies hold
// `mostBytes`, the formats after them are not copied) and closes it again.
ClipboardSnapshot CopyAllFormats(ClipboardService& clipboard, WindowHandle window,
                                 std::uint64_t mostBytes = kMostCopiedBytes);

// What the viewer shows, copied out at one open: the text as UTF-16
// (format 13's number, when `text`), then the picture as a packed DIB (the
// DIB placed, else the bitmap; when `picture`, and the text was got or not
// asked for). The outcome ClipboardHeld when it could not be opened.
ClipboardSnapshot CopyForViewer(ClipboardService& clipboard, WindowHandle window, bool text,
                                bool picture);

}  // namespace norvane
