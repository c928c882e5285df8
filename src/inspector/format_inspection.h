// Reading one format for the inspector: its data copied out of the
// clipboard once, with the owner of that data read while the clipboard is
// open, and the clipboard closed again before anything is shown.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

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

// The owner as the header names it: "A <class> Class Window of <program
// file>, process id <n>", or "none".
std::string OwnerText(const FormatReading& reading);

// "a memory block", "a bitmap", ... as the header says it.
const char* KindText(DataKind kind);

// How a text format's bytes are to be read; None for other formats.
enum class TextEncoding { None, Ansi, Oem, Utf16, Utf8 };
TextEncoding TextEncodingOf(unsigned format, std::string_view registeredName);

// The text's bytes up to its terminating zero (a zero 16-bit unit for
// UTF-16, whose bytes are then even in number), or the whole block.
std::span<const std::uint8_t> TextBytes(std::span<const std::uint8_t> bytes, TextEncoding encoding);

// The header's lines: the format, its kind and size; what its header says
// (a bitmap's size and depth, an enhanced metafile's bounds and records...)
// and what is wrong with the block; `contentLines` (each after "\r\n"); the
// owner; who holds the clipboard open when that kept it from being read.
std::string HeaderText(unsigned format, const FormatReading& reading,
                       std::string_view contentLines = {});

// The reports when a format cannot be read; `line` is its line in the list.
std::string ClipboardHeldText();
std::string FormatGoneText(std::string_view line);
std::string NotRenderedText(std::string_view line);
std::string ReadFailedText(std::string_view line, std::string_view failure);

}  // namespace norvane
