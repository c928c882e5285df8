// "Save All Formats...": every format on the clipboard copied out at once,
// and the names and index of what is saved of them: one file a format,
// named by its number and name, in a new folder named after the time, and
// "index.txt" listing every format with what became of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "clipboard/clipboard_service.h"
#include "inspector/format_inspection.h"
#include "ui/message_dialog.h"

namespace norvane {

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "Clipboard 2026-12-08 17-05-03"; from the second `attempt` on, with
// " (2)", " (3)" ... after it.
std::string SnapshotFolderName(const LocalTime& time, int attempt = 1);

inline constexpr char kIndexFileName[] = "index.txt";
// The longest name of a format that goes into its file's name.
inline constexpr std::size_t kFileNameNameChars = 64;

// The registered name, else the predefined one ("CF_UNICODETEXT").
std::string NameOf(const CopiedFormat& copied);

// Whether a byte of the name's code page begins a character of two bytes
// (none does in a single-byte code page).
using LeadByteTest = bool (*)(unsigned char byte);

// "00013 CF_UNICODETEXT.txt", "49161 HTML Format.bin": the number in five
// digits, the name with every character Windows forbids in a file name
// replaced by "_" and cut to kFileNameNameChars on a whole character, and
// the extension Save As proposes for the data. A character of two bytes is
// kept whole: its second byte may be a "\" or "|" of no meaning.
std::string FormatFileName(const CopiedFormat& copied, LeadByteTest isLeadByte = nullptr);

// Why a format was not read ("its owner did not render it"); empty when it was.
std::string NotReadReason(const FormatReading& reading);

// The index: a line of column names, then a line a format, tab-separated:
// number, name, kind (with what a shell or OLE format holds: "a memory
// block (virtual files)"), size, owner, and its `fates` entry (the file written
// or why there is none). Lines end in CR LF; a tab, line break or other
// control character inside a field becomes a blank, as in the saved journal.
std::string IndexText(const std::vector<CopiedFormat>& formats,
                      const std::vector<std::string>& fates);

// What the user is told once the files and the index are written in
// `folder`: `saved` of `total` formats, and whether the user stopped it.
struct SaveAllReport {
    std::string text;
    MessageKind kind;
};
SaveAllReport SavedReport(std::string_view folder, std::size_t saved, std::size_t total,
                          bool stopped);

}  // namespace norvane
