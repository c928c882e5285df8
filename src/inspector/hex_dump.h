// The lines of a hex dump, made only for the lines asked for, so that a
// view of a large block formats no more than it shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace norvane {

inline constexpr std::size_t kDumpBytesPerLine = 16;

// ceil(size / 16): an empty block has no lines.
std::size_t DumpLineCount(std::size_t size);

// Line `line` (from 0): an 8-digit hex offset, the 16 bytes in hex (a gap
// after the eighth), then the same bytes as characters, a dot for each one
// that does not print. A short last line is padded so its characters align:
// "00000010  48 65 6C 6C 6F 00 01 02  41 42 43 44 45 46 47 48  Hello...ABCDEFGH"
std::string DumpLine(std::span<const std::uint8_t> bytes, std::size_t line);

// Lines first .. first + count - 1, cut at the block's last line.
std::vector<std::string> DumpLines(std::span<const std::uint8_t> bytes, std::size_t first,
                                   std::size_t count);

}  // namespace norvane
