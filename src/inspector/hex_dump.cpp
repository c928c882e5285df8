#include "inspector/hex_dump.h"

#include <algorithm>

namespace norvane {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, std::uint64_t value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += kHexDigits[(value >> shift) & 0xF];
}

}  // namespace

std::size_t DumpLineCount(std::size_t size) {
    return size / kDumpBytesPerLine + (size % kDumpBytesPerLine != 0);
}

std::string DumpLine(std::span<const std::uint8_t> bytes, std::size_t line) {
    if (line >= DumpLineCount(bytes.size())) return {};
    const std::size_t offset = line * kDumpBytesPerLine;
    const auto row = bytes.subspan(offset, std::min(kDumpBytesPerLine, bytes.size() - offset));
    std::string out;
    out.reserve(8 + 2 + 3 * kDumpBytesPerLine + 1 + 1 + kDumpBytesPerLine);
    AppendHex(out, offset, 8);
    out += ' ';
    for (std::size_t i = 0; i < kDumpBytesPerLine; ++i) {
        out += i == kDumpBytesPerLine / 2 ? "  " : " ";
        if (i < row.size())
            AppendHex(out, row[i], 2);
        else
            out += "  ";
    }
    out += "  ";
    for (std::uint8_t byte : row)
        out += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
    return out;
}

std::vector<std::string> DumpLines(std::span<const std::uint8_t> bytes, std::size_t first,
                                   std::size_t count) {
    const std::size_t total = DumpLineCount(bytes.size());
    std::vector<std::string> lines;
    if (first >= total) return lines;
    const std::size_t end = first + std::min(count, total - first);
    lines.reserve(end - first);
    for (std::size_t line = first; line < end; ++line) lines.push_back(DumpLine(bytes, line));
    return lines;
}

}  // namespace norvane
