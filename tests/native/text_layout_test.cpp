#include "inspector/text_layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "inspector/scroll_scale.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;

// The text's bytes, one a unit or widened to UTF-16 (little-endian).
Bytes Encoded(const std::string& text, std::size_t unitSize) {
    Bytes bytes;
    for (const char c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c));
        if (unitSize == 2) bytes.push_back(0);
    }
    return bytes;
}

std::string RowText(const TextLayout& layout, const TextLayout::Row& row) {
    std::string text;
    for (std::size_t i = row.start; i < row.start + row.length; ++i)
        text += static_cast<char>(layout.UnitAt(i));
    return text;
}

std::vector<std::string> RowTexts(const TextLayout& layout, std::size_t first = 0) {
    std::vector<std::string> texts;
    for (const TextLayout::Row& row : layout.RowsFrom(first, layout.RowCount()))
        texts.push_back(RowText(layout, row));
    return texts;
}

struct WrapCase {
    const char* text;
    std::size_t columns;
    std::vector<std::string> rows;
};

const WrapCase kWrapCases[] = {
    {"", 5, {""}},
    {"abc", 5, {"abc"}},
    {"abcdefgh", 3, {"abc", "def", "gh"}},
    {"abcdef", 3, {"abc", "def"}},
    {"ab\r\ncdefg\n", 3, {"ab", "cde", "fg", ""}},
    {"ab\ncd\rx", 5, {"ab", "cd", "x"}},
    {"\r\n\r\n", 5, {"", "", ""}},
    {"\n\r", 5, {"", "", ""}},
    {"a\r\r\nb", 5, {"a", "", "b"}},
    {"\r", 5, {"", ""}},
    // Tabs and other control characters take a column like any character.
    {"a\tb\x01\x7f", 2, {"a\t", "b\x01", "\x7f"}},
    {"abc", 0, {"a", "b", "c"}},
};

TEST(TextLayoutTest, WrapsAtTheColumnsAndEndsLinesAtCrLfLfOrCr) {
    for (const WrapCase& c : kWrapCases)
        for (const std::size_t unitSize : {1, 2}) {
            const Bytes bytes = Encoded(c.text, unitSize);
            const TextLayout layout(bytes, unitSize, c.columns);
            EXPECT_EQ(RowTexts(layout), c.rows) << c.text << ", unit " << unitSize;
            EXPECT_EQ(layout.RowCount(), c.rows.size()) << c.text;
            // Any row looked up directly is the row laid out from the top.
            for (std::size_t first = 0; first < c.rows.size(); ++first)
                EXPECT_EQ(
                    RowTexts(layout, first),
                    std::vector(c.rows.begin() + static_cast<std::ptrdiff_t>(first), c.rows.end()))
                    << c.text << " from row " << first;
            EXPECT_TRUE(layout.RowsFrom(c.rows.size(), 3).empty());
        }
}

TEST(TextLayoutTest, AnOddLastByteOfUtf16IsNoUnit) {
    const Bytes bytes{'a', 0, 'b', 0, 'c'};
    const TextLayout layout(bytes, 2, 10);
    EXPECT_EQ(layout.Units(), 2u);
    EXPECT_THAT(RowTexts(layout), ElementsAre("ab"));
}

// The rows of a text split line by line and cut into pieces, as a reader would.
std::vector<std::string> ReferenceRows(const std::string& text, std::size_t columns) {
    std::vector<std::string> rows;
    std::string line;
    auto endLine = [&] {
        for (std::size_t at = 0; at < line.size(); at += columns)
            rows.push_back(line.substr(at, columns));
        if (line.empty()) rows.emplace_back();
        line.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\r' || text[i] == '\n')
            endLine();
        else
            line += text[i];
    }
    endLine();
    return rows;
}

// Thousands of lines of every length up to a few rows, some of many
// blocks' length, with each kind of line end at every offset of a word.
std::string ManyLines() {
    std::mt19937 random(7);
    const char* ends[] = {"\r\n", "\n", "\r"};
    std::string text;
    for (int line = 0; line < 6000; ++line) {
        const std::size_t length = line % 1000 == 999 ? 20000 + line : random() % 40;
        for (std::size_t i = 0; i < length; ++i) text += static_cast<char>('a' + (i + line) % 26);
        text += ends[random() % 3];
    }
    return text;
}

TEST(TextLayoutTest, ManyLinesAndLongOnesRowByRowAsAReaderSplitsThem) {
    const std::string text = ManyLines();
    for (const std::size_t unitSize : {1, 2}) {
        const Bytes bytes = Encoded(text, unitSize);
        TextLayout layout(bytes, unitSize, 1);
        for (const std::size_t columns : {7, 80, 100000, 1}) {
            layout.Wrap(columns);
            const std::vector<std::string> expected = ReferenceRows(text, columns);
            ASSERT_EQ(RowTexts(layout), expected) << columns << " columns, unit " << unitSize;
            // Rows found from anywhere: within a block, at a block's start, in a long line.
            for (std::size_t first = 0; first < expected.size(); first += expected.size() / 97 + 1)
                EXPECT_EQ(RowText(layout, layout.RowsFrom(first, 1).at(0)), expected[first])
                    << columns << " columns, row " << first;
        }
    }
}

struct HugeCase {
    const char* what;
    std::size_t bytes;
    std::size_t unitSize;
    char filler;  // every unit
    std::size_t columns;
    std::size_t rows;
    TextLayout::Row last;
};

// 64 MB on one line, as 8-bit and UTF-16 units, and 4 MB of empty lines:
// the counts and the last row as a 32-bit program computes them.
const HugeCase kHugeCases[] = {
    {"64 MB on one line", 64u << 20, 1, 'x', 80, 838861, {838860u * 80, 64}},
    {"64 MB of UTF-16 on one line", 64u << 20, 2, 'x', 100, 335545, {335544u * 100, 32}},
    {"4 MB of line feeds", 4u << 20, 1, '\n', 80, (4u << 20) + 1, {4u << 20, 0}},
};

TEST(TextLayoutTest, HugeTextsFindTheirLastRowsByArithmetic) {
    for (const HugeCase& c : kHugeCases) {
        Bytes bytes(c.bytes, 0);
        for (std::size_t i = 0; i < bytes.size(); i += c.unitSize)
            bytes[i] = static_cast<std::uint8_t>(c.filler);
        const TextLayout layout(bytes, c.unitSize, c.columns);
        EXPECT_EQ(layout.RowCount(), c.rows) << c.what;
        EXPECT_THAT(layout.RowsFrom(c.rows - 1, 60), ElementsAre(c.last)) << c.what;
        EXPECT_EQ(layout.RowsFrom(c.rows / 2, 60).size(), 60u) << c.what;
    }
}

TEST(ScrollScaleTest, LinesUpToTheStepsScrollOneByOneBeyondThemOnAScale) {
    const struct {
        std::size_t lines, page;
        int max;
        unsigned scrollPage;
    } cases[] = {
        {0, 20, 0, 1},                        // nothing to scroll
        {20, 20, 0, 1},                       // all shown
        {100, 10, 99, 10},                    // line by line
        {32768, 30, 32767, 30},               // the last range that fits
        {32769, 30, ScrollScale::kSteps, 1},  // mapped
        {4'000'000'000u, 50, ScrollScale::kSteps, 1},
    };
    for (const auto& c : cases) {
        const ScrollScale scale(c.lines, c.page);
        EXPECT_EQ(scale.Max(), c.max) << c.lines;
        EXPECT_EQ(scale.Page(), c.scrollPage) << c.lines;
        // Both ends are exact, and the position never runs backwards.
        EXPECT_EQ(scale.TopAt(0), 0u);
        EXPECT_EQ(scale.TopAt(scale.Max()), scale.LastTop()) << c.lines;
        EXPECT_EQ(scale.PositionOf(scale.LastTop() + 5), scale.PositionOf(scale.LastTop()));
        // The thumb's last position; where each has a line of its own, the
        // line's position is that position again.
        const int reachable = scale.Max() - static_cast<int>(scale.Page()) + 1;
        const bool ownLines = scale.LastTop() >= static_cast<std::size_t>(reachable);
        std::size_t top = 0;
        for (int position = 0; position <= reachable; position += 97) {
            EXPECT_GE(scale.TopAt(position), top);
            top = scale.TopAt(position);
            if (ownLines) {
                EXPECT_EQ(scale.PositionOf(top), position) << c.lines;
            }
        }
    }
}

}  // namespace
}  // namespace norvane
