#include "inspector/text_layout.h"

#include <algorithm>
#include <cstring>

namespace norvane {
namespace {

// A block takes no further line once it holds this many lines or spans
// this many units, and a line this long is a block alone: finding a row
// walks through at most one block's short lines. The fuzzing build makes
// blocks small, so that small inputs span many blocks and long lines.
#if defined(NORVANE_TEXT_SMALL_BLOCKS)
constexpr std::size_t kBlockLines = 4;
constexpr std::size_t kBlockUnits = 48;
#else
constexpr std::size_t kBlockLines = 256;
constexpr std::size_t kBlockUnits = 8192;
#endif

constexpr std::uint16_t kLineFeed = 0x0A;
constexpr std::uint16_t kCarriageReturn = 0x0D;

// A machine word of units at once, each lane (8 or 16 bits) compared with
// a line end; words of the program's own size, so that a 32-bit program
// takes no two-register arithmetic.
using Word = std::size_t;

struct Lanes {
    Word ones, highs, lineFeeds, carriageReturns;
};
constexpr Word kByteOnes = ~Word{0} / 0xFF;
constexpr Word kUnitOnes = ~Word{0} / 0xFFFF;
constexpr Lanes kByteLanes{kByteOnes, kByteOnes << 7, kByteOnes* kLineFeed,
                           kByteOnes* kCarriageReturn};
constexpr Lanes kUnitLanes{kUnitOnes, kUnitOnes << 15, kUnitOnes* kLineFeed,
                           kUnitOnes* kCarriageReturn};

// Whether a lane of `word` is zero (exact: a borrow only runs on from a zero lane).
bool HasZeroLane(Word word, const Lanes& lanes) {
    return ((word - lanes.ones) & ~word & lanes.highs) != 0;
}

bool MayEndLine(const std::uint8_t* at, const Lanes& lanes) {
    Word word;
    std::memcpy(&word, at, sizeof word);
    return HasZeroLane(word ^ lanes.lineFeeds, lanes) ||
           HasZeroLane(word ^ lanes.carriageReturns, lanes);
}

// The first line end in units [from, to) of `data`, or `to`.
template <std::size_t kUnitSize>
std::size_t FindLineEnd(const std::uint8_t* data, std::size_t from, std::size_t to) {
    constexpr std::size_t kPerWord = sizeof(Word) / kUnitSize;
    const Lanes& lanes = kUnitSize == 1 ? kByteLanes : kUnitLanes;
    std::size_t at = from;
    for (;;) {
        while (to - at >= kPerWord && !MayEndLine(data + at * kUnitSize, lanes)) at += kPerWord;
        for (const std::size_t stop = std::min(to, at + kPerWord); at < stop; ++at) {
            const std::uint8_t* unit = data + at * kUnitSize;
            const bool low = unit[0] == kLineFeed || unit[0] == kCarriageReturn;
            if (low && (kUnitSize == 1 || unit[1] == 0)) return at;
        }
        if (at == to) return to;
    }
}

std::size_t RowsOfLine(std::size_t length, std::size_t columns) {
    return length == 0 ? 1 : length / columns + (length % columns != 0);
}

}  // namespace

TextLayout::TextLayout() : TextLayout({}, 1, 1) {}

TextLayout::TextLayout(std::span<const std::uint8_t> bytes, std::size_t unitSize,
                       std::size_t columns)
    : bytes_(bytes), unitSize_(unitSize == 2 ? 2 : 1), units_(bytes.size() / unitSize_) {
    Index();
    Wrap(columns);
}

std::uint16_t TextLayout::UnitAt(std::size_t index) const {
    if (unitSize_ == 1) return bytes_[index];
    return static_cast<std::uint16_t>(bytes_[2 * index] | bytes_[2 * index + 1] << 8);
}

// The first line end in [from, to), or `to`.
std::size_t TextLayout::LineEnd(std::size_t from, std::size_t to) const {
    return unitSize_ == 1 ? FindLineEnd<1>(bytes_.data(), from, to)
                          : FindLineEnd<2>(bytes_.data(), from, to);
}

// Past the line end at `end`: CR LF is one line end.
std::size_t TextLayout::NextLineStart(std::size_t end) const {
    const bool crlf =
        UnitAt(end) == kCarriageReturn && end + 1 < units_ && UnitAt(end + 1) == kLineFeed;
    return end + (crlf ? 2 : 1);
}

void TextLayout::Index() {
    blocks_.clear();
    Block open;
    bool isOpen = false;
    for (std::size_t start = 0;;) {
        const std::size_t end = LineEnd(start, units_);
        const std::size_t length = end - start;
        const bool alone = length >= kBlockUnits;
        if (isOpen && (alone || open.lines == kBlockLines || start - open.start >= kBlockUnits)) {
            blocks_.push_back(open);
            isOpen = false;
        }
        if (!isOpen) {
            open = {.start = start};
            isOpen = true;
        }
        open.end = end;
        ++open.lines;
        open.longest = std::max(open.longest, length);
        if (alone) {
            blocks_.push_back(open);
            isOpen = false;
        }
        if (end == units_) break;  // a text that ends with a line end ends with an empty line
        start = NextLineStart(end);
    }
    if (isOpen) blocks_.push_back(open);
}

std::size_t TextLayout::RowCount() const {
    return rows_;
}

// Only a block with a line longer than a row is walked through.
std::size_t TextLayout::RowsOf(const Block& block) const {
    if (block.longest <= columns_) return block.lines;
    if (block.lines == 1) return RowsOfLine(block.longest, columns_);
    std::size_t rows = 0;
    std::size_t start = block.start;
    for (std::size_t line = 0;; ++line) {
        const bool last = line + 1 == block.lines;
        const std::size_t end = last ? block.end : LineEnd(start, block.end);
        rows += RowsOfLine(end - start, columns_);
        if (last) return rows;
        start = NextLineStart(end);
    }
}

// Rows are at most units and lines together, so their count fits a size_t.
void TextLayout::Wrap(std::size_t columns) {
    columns_ = std::max<std::size_t>(columns, 1);
    std::size_t rows = 0;
    for (Block& block : blocks_) {
        block.firstRow = rows;
        rows += RowsOf(block);
    }
    rows_ = rows;
}

std::vector<TextLayout::Row> TextLayout::RowsFrom(std::size_t first, std::size_t count) const {
    std::vector<Row> rows;
    if (first >= rows_ || count == 0) return rows;
    rows.reserve(std::min(count, rows_ - first));
    auto block = std::upper_bound(blocks_.begin(), blocks_.end(), first,
                                  [](std::size_t row, const Block& b) { return row < b.firstRow; });
    --block;                            // the last block that starts at or before `first`
    std::size_t row = block->firstRow;  // the current line's first row
    std::size_t start = block->start;
    std::size_t line = 0;
    while (rows.size() < count) {
        const bool last = line + 1 == block->lines;
        const std::size_t end = last ? block->end : LineEnd(start, block->end);
        const std::size_t length = end - start;
        const std::size_t lineRows = RowsOfLine(length, columns_);
        for (std::size_t r = first > row ? first - row : 0; r < lineRows && rows.size() < count;
             ++r)
            rows.push_back({start + r * columns_, std::min(columns_, length - r * columns_)});
        row += lineRows;
        if (!last) {
            start = NextLineStart(end);
            ++line;
        } else if (++block == blocks_.end()) {
            break;
        } else {
            start = block->start;
            line = 0;
        }
    }
    return rows;
}

}  // namespace norvane
