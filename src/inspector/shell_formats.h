// The formats the shell and OLE register for copying and dragging files and
// objects ("Preferred DropEffect", "FileGroupDescriptorW", "Shell IDList
// Array", "Object Descriptor", "FileNameW", ...), found by their registered
// names, each with the reader that explains its bytes: lines for the header
// and, for a list, the text view. Names another program wrote are made
// visible (VisibleText): wide ones in UTF-8, narrow ones in the code page's
// characters as they came. The bytes are only read: none is handed to the
// shell or OLE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "inspector/format_inspection.h"

namespace norvane {

// What a reader makes of a block.
struct ShellContents {
    std::string lines;                           // each after "\r\n"
    TextEncoding encoding = TextEncoding::None;  // None: no text view
    std::vector<std::uint8_t> text;              // in `encoding`
};

struct ShellFormat;
using ShellReader = ShellContents (*)(const ShellFormat& format,
                                      std::span<const std::uint8_t> block);

struct ShellFormat {
    std::string_view name;  // as registered
    // What it holds, in a few words, for the Save All index: "drop effect".
    std::string_view kind;
    ShellReader read;
    // What it says beyond its bytes: what the drop effect tells, or what a
    // format whose bytes are private to its program is for.
    std::string_view about = {};
};

// The format registered under `name`, or null for any other.
const ShellFormat* FindShellFormat(std::string_view name);

// A name another program wrote, for a line of the header: visible, and cut
// on a whole character after kShownNameBytes with "..." after it.
inline constexpr std::size_t kShownNameBytes = 300;
std::string ShownName(std::string_view utf8);

// One line of the header naming the first entries of a list (files,
// items): as many as fit in kListLineBytes, the first always (as ShownName
// gives it), then how many more the text view gives.
inline constexpr std::size_t kListLineBytes = 200;  // two lines of the header
class ListLine {
  public:
    void Add(std::string_view entry);
    // "a; b; 3 more in the text view", of `total` entries.
    std::string Text(std::uint64_t total) const;

  private:
    std::string text_;
    std::uint64_t named_ = 0;
    bool full_ = false;
};

// "104,857": a number with its thousands grouped.
std::string Grouped(std::uint64_t n);
// "1 file", "2,048 files".
std::string CountText(std::uint64_t count, std::string_view one, std::string_view many);

}  // namespace norvane
