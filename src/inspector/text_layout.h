// A text laid out in rows of a fixed number of columns, one column per
// unit (a byte of an 8-bit code page, or a UTF-16 unit), for a view that
// lays out only the rows it paints. Lines end at CR LF, LF or CR; a line
// longer than the columns wraps into rows of that many units. The text is
// read where it lies, never copied: one linear pass indexes its lines, and
// a change of columns counts the rows again from that index, so that a row
// of any text of any size is found by a search of the index and a short
// walk through at most a block of lines.
//
// "ab\r\ncdefg\n" in 3 columns: rows "ab", "cde", "fg" and "" (the empty
// line after the last line end).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace norvane {

class TextLayout {
  public:
    // One row: `length` units from unit `start`, without its line end.
    struct Row {
        std::size_t start = 0;
        std::size_t length = 0;
        friend bool operator==(const Row&, const Row&) = default;
    };

    // An empty text: one empty row.
    TextLayout();
    // `bytes` (kept by the caller while the layout is used) are units of
    // `unitSize` bytes, 1 or 2 (UTF-16, little-endian; an odd last byte
    // is no unit); laid out in `columns` (at least 1).
    TextLayout(std::span<const std::uint8_t> bytes, std::size_t unitSize, std::size_t columns);

    // Lays the rows out again in `columns` (at least 1).
    void Wrap(std::size_t columns);

    std::size_t Units() const { return units_; }
    std::size_t Columns() const { return columns_; }
    // Never less than 1, never more than Units() + 1.
    std::size_t RowCount() const;
    // The unit at `index` (below Units()).
    std::uint16_t UnitAt(std::size_t index) const;
    // Up to `count` rows from row `first`; none from a row past the last.
    std::vector<Row> RowsFrom(std::size_t first, std::size_t count) const;

  private:
    // Whole lines, one after another: short lines up to a bound of lines
    // and units, or one long line alone.
    struct Block {
        std::size_t start = 0;    // the first line's first unit
        std::size_t end = 0;      // the last line's end, before its line end
        std::size_t lines = 0;    // at least 1
        std::size_t longest = 0;  // units of its longest line
        std::size_t firstRow = 0;
    };

    void Index();
    std::size_t RowsOf(const Block& block) const;
    std::size_t LineEnd(std::size_t from, std::size_t to) const;
    std::size_t NextLineStart(std::size_t end) const;

    std::span<const std::uint8_t> bytes_;
    std::size_t unitSize_ = 1;
    std::size_t units_ = 0;
    std::size_t columns_ = 1;
    std::vector<Block> blocks_;
    std::size_t rows_ = 1;
};

}  // namespace norvane
