// What the inspector says of one format read: its header's lines, its
// text's encoding, and the reports when it could not be read.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "clipboard/clipboard_service.h"
#include "clipboard/format_data.h"
#include "reader/format_reading.h"

namespace norvane {

// The owner as the header names it: "A <class> Class Window of <program
// file>, process id <n>", or "none".
std::string OwnerText(const FormatReading& reading);

// What a reading under way has waited for so far, the owner of the
// clipboard's data as ReadOwner gives it: "Waiting for <class> of <program>
// (process <n>) to render <format>: <seconds> s".
std::string WaitingLine(const FormatReading& owner, std::string_view formatName,
                        unsigned long seconds);

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
