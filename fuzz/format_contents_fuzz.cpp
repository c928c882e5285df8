// The readers of file lists, "HTML Format" headers and locales, the shell's
// and OLE's formats, and the check of RTF for the formatted view, on any
// block: no read past the block (ASan), every path and fragment they hand
// out lies within it, a block they find whole holds what its header says,
// and what they show of another program's names is visible, the header
// of a size no block changes and the text within a few times the block. The text view's layout of
// the same block: its rows cover the text in order, parted only by line ends, whichever row they
// are looked up from; and the scroll bar's scale of rows.
#include "inspector/format_contents.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "checked_sum.h"
#include "clipboard/standard_formats.h"
#include "inspector/file_list.h"
#include "inspector/html_format.h"
#include "inspector/rich_text.h"
#include "inspector/scroll_scale.h"
#include "inspector/shell_formats.h"
#include "inspector/text_layout.h"
#include "inspector/virtual_files.h"
#include "util/visible_text.h"

namespace {

using norvane::fuzz::Check;
using norvane::fuzz::Sum;
using Block = std::span<const std::uint8_t>;

bool Within(Block part, Block block) {
    return part.data() >= block.data() &&
           Sum({static_cast<std::uint64_t>(part.data() - block.data()), part.size()}) <=
               block.size();
}

void CheckFileList(Block block) {
    const auto list = norvane::ReadFileList(block);
    Check(list.hasHeader == (block.size() >= norvane::kDropFilesHeaderBytes));
    const std::uint64_t unit = list.wide ? 2 : 1;
    std::uint64_t total = 0;
    for (Block path : list.paths) {
        Check(Within(path, block) && !path.empty() && path.size() % unit == 0);
        Check(static_cast<std::uint64_t>(path.data() - block.data()) >= list.offset);
        total = Sum({total, path.size()});
    }
    if (!list.paths.empty()) Check(list.offset >= norvane::kDropFilesHeaderBytes);
    Check(list.ended == list.problem.empty());
    const std::uint64_t separators = list.paths.empty() ? 0 : (list.paths.size() - 1) * 2 * unit;
    Check(norvane::FileListText(list).size() == Sum({total, separators}));
}

void CheckHtml(Block block) {
    const auto html = norvane::ReadHtmlFormat(block);
    if (html.fragment) {
        Check(Within(*html.fragment, block));
        Check(html.startFragment && html.endFragment &&
              static_cast<std::uint64_t>(*html.endFragment - *html.startFragment) ==
                  html.fragment->size());
    }
    // A fragment is taken exactly when every offset agrees with the block.
    Check(html.fragment.has_value() == html.problem.empty());
    if (html.problem.empty()) {
        Check(html.startHtml && html.endHtml && html.fragment);
        Check(*html.endHtml <= static_cast<std::int64_t>(block.size()));
        Check((*html.startHtml == -1) == (*html.endHtml == -1));
        if (*html.startHtml != -1)
            Check(*html.startHtml <= *html.startFragment && *html.endFragment <= *html.endHtml);
        if (html.startSelection && *html.startSelection != -1)
            Check(*html.startFragment <= *html.startSelection &&
                  *html.startSelection <= *html.endSelection &&
                  *html.endSelection <= *html.endFragment);
    }
    Check(html.version.size() <= 303 && html.sourceUrl.size() <= 303);
    Check(!norvane::HtmlFormatLine(html).empty());
}

void CheckContents(Block block) {
    using norvane::FormatContents;
    const FormatContents html(0xC000, "HTML Format", block);
    Check(Within(html.Text(), block));
    // Each path's zero becomes "\r\n": never more than twice the block.
    const FormatContents files(norvane::kFileListFormat, "", block);
    Check(files.Text().size() <= norvane::fuzz::Product(block.size(), 2));
    const FormatContents locale(norvane::kLocaleFormat, "", block);
    Check(locale.Locale().has_value() == (block.size() >= 4));
}

// The shell's and OLE's formats, each explained by the reader of its name.
void CheckShellFormats(Block block) {
    // A header shows a few names of at most ShownName's length, each made
    // visible (a byte may become six), with the lines around them.
    constexpr std::uint64_t kMostHeaderBytes = 16 * 1024;
    for (const char* name : {"Preferred DropEffect", "Paste Succeeded", "FileGroupDescriptor",
                             "FileGroupDescriptorW", "Shell IDList Array", "Object Descriptor",
                             "Link Source Descriptor", "FileName", "FileNameW", "DragImageBits"}) {
        Check(norvane::FindShellFormat(name) != nullptr);
        const norvane::FormatContents contents(0xC000, name, block);
        const std::string& lines = contents.HeaderLines();
        Check(lines.starts_with("\r\n") && lines.size() <= kMostHeaderBytes);
        for (std::size_t at = 0; at != std::string::npos;) {
            const std::size_t next = lines.find("\r\n", at + 2);
            const std::string line = lines.substr(at + 2, next - (at + 2));
            Check(!line.empty() && norvane::VisibleText(line) == line);
            at = next;
        }
        // A line of each item read: a few times its bytes (a name made
        // visible), or a hundred and fifty bytes where 4 bytes name an item.
        const std::uint64_t lineBytes = norvane::fuzz::Product(160, block.size() / 4 + 1);
        Check(contents.Text().size() <= Sum({norvane::fuzz::Product(12, block.size()), lineBytes}));
    }
}

// RTF given to the formatted view begins as RTF; a refusal says why.
void CheckRichText(Block block) {
    const auto problem = norvane::RichTextProblem(block);
    const std::string_view start = "{\\rtf";
    const std::string_view refused = "The formatted view is not shown: ";
    if (problem)
        Check(problem->starts_with(refused) && problem->size() > refused.size());
    else
        Check(block.size() >= start.size() &&
              std::equal(start.begin(), start.end(), block.begin()));
}

// Numbers for the checks taken from the block's last bytes (0 once none is
// left), so that the readers above still see the block's start as it is.
class Tail {
  public:
    explicit Tail(Block block) : block_(block) {}

    std::uint32_t Take(std::size_t bytes) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < bytes && taken_ < block_.size(); ++i)
            value = value << 8 | block_[block_.size() - ++taken_];
        return value;
    }

  private:
    Block block_;
    std::size_t taken_ = 0;
};

using Row = norvane::TextLayout::Row;

// Few columns and rows, so that the work per input stays small while a
// short text still wraps into many rows and spans many blocks of lines.
constexpr std::size_t kMaxColumns = 16;
constexpr std::size_t kRowsChecked = 16;

bool IsLineEnd(std::uint16_t unit) {
    return unit == '\r' || unit == '\n';
}

// Rows that follow one another: each within the text and the columns, free
// of line ends, and a row shorter than the columns ends its line. Between
// two rows lies one line end (CR LF, LF or CR), or nothing where a long
// line wraps.
void CheckRowRun(const norvane::TextLayout& layout, const std::vector<Row>& rows) {
    const std::size_t units = layout.Units();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        Check(row.length <= layout.Columns() && Sum({row.start, row.length}) <= units);
        for (std::size_t at = row.start; at < row.start + row.length; ++at)
            Check(!IsLineEnd(layout.UnitAt(at)));
        const std::size_t end = row.start + row.length;
        if (end < units && row.length < layout.Columns()) Check(IsLineEnd(layout.UnitAt(end)));
        if (i + 1 == rows.size()) break;
        const Row& next = rows[i + 1];
        Check(next.start >= end && next.start <= units);
        const std::size_t gap = next.start - end;
        if (gap == 0) {
            Check(row.length == layout.Columns() && next.length > 0);
        } else if (gap == 1) {
            const std::uint16_t unit = layout.UnitAt(end);
            Check(IsLineEnd(unit) &&
                  (unit == '\n' || next.start == units || layout.UnitAt(next.start) != '\n'));
        } else {
            Check(gap == 2 && layout.UnitAt(end) == '\r' && layout.UnitAt(end + 1) == '\n');
        }
    }
}

// The rows checked of one layout: the first ones, the last ones and some
// from a row the input names; each looked up again from the row before.
std::vector<Row> CheckRows(const norvane::TextLayout& layout, std::size_t pick) {
    const std::size_t count = layout.RowCount();
    Check(count >= 1 && count <= Sum({layout.Units(), 1}));
    Check(layout.RowsFrom(count, kRowsChecked).empty() && layout.RowsFrom(0, 0).empty());

    std::vector<Row> head = layout.RowsFrom(0, kRowsChecked);
    Check(head.size() == std::min(count, kRowsChecked) && head.front().start == 0);
    CheckRowRun(layout, head);

    const std::size_t tailFirst = count - std::min(count, kRowsChecked);
    const std::vector<Row> tail = layout.RowsFrom(tailFirst, kRowsChecked + 1);
    Check(tail.size() == count - tailFirst);
    Check(tail.back().start + tail.back().length == layout.Units());
    CheckRowRun(layout, tail);

    const std::size_t first = pick % count;
    const std::vector<Row> some = layout.RowsFrom(first, kRowsChecked);
    Check(some.size() == std::min(count - first, kRowsChecked));
    CheckRowRun(layout, some);
    if (first > 0) {
        const std::vector<Row> before = layout.RowsFrom(first - 1, kRowsChecked + 1);
        Check(before.size() == some.size() + 1 &&
              std::equal(some.begin(), some.end(), before.begin() + 1));
        CheckRowRun(layout, {before[0], before[1]});
    }
    head.insert(head.end(), tail.begin(), tail.end());
    head.insert(head.end(), some.begin(), some.end());
    return head;
}

// The block as 8-bit or UTF-16 text in a few columns, wrapped to other
// columns and back.
void CheckTextLayout(Block block, Tail& tail) {
    const std::uint32_t shape = tail.Take(1);
    const std::size_t unitSize = shape & 0x80 ? 2 : 1;
    const std::size_t columns = 1 + shape % kMaxColumns;
    const std::size_t otherColumns = 1 + tail.Take(1) % kMaxColumns;
    const std::size_t pick = tail.Take(2);

    norvane::TextLayout layout(block, unitSize, columns);
    Check(layout.Units() == block.size() / unitSize && layout.Columns() == columns);
    const std::vector<Row> rows = CheckRows(layout, pick);
    layout.Wrap(otherColumns);
    Check(layout.Columns() == otherColumns);
    CheckRows(layout, pick);
    layout.Wrap(columns);
    Check(CheckRows(layout, pick) == rows);
}

// A FILETIME as a date: well-formed, and in the order of the times.
void CheckFileTimes(Tail& tail) {
    std::uint64_t times[2];
    for (std::uint64_t& time : times) time = std::uint64_t{tail.Take(4)} << 32 | tail.Take(4);
    std::sort(std::begin(times), std::end(times));
    const std::string first = norvane::FileTimeText(times[0]);
    const std::string second = norvane::FileTimeText(times[1]);
    for (const std::string& text : {first, second}) {
        unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0;
        Check(std::sscanf(text.c_str(), "%u-%u-%u %u:%u", &year, &month, &day, &hour, &minute) ==
              5);
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        const unsigned days[] = {31, leap ? 29u : 28u, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        Check(year >= 1601 && month >= 1 && month <= 12 && day >= 1 && day <= days[month - 1]);
        Check(hour < 24 && minute < 60);
    }
    // Four-digit years sort as their texts do.
    if (second.size() == first.size()) Check(first <= second);
}

// A scroll bar over lines and a page the input gives, up to the 32-bit
// program's sizes: every top line is reachable, both ends are exact, and
// the thumb and the top line move the same way.
void CheckScrollScale(Tail& tail) {
    const std::size_t lines = tail.Take(4);
    const std::size_t page = tail.Take(2);
    const norvane::ScrollScale scale(lines, page);
    const std::size_t lastTop = scale.LastTop();
    Check(lastTop < std::max<std::size_t>(lines, 1));
    if (lastTop > 0) Check(lastTop + std::max<std::size_t>(page, 1) == lines);
    Check(scale.Max() >= 0 && scale.Max() <= norvane::ScrollScale::kSteps && scale.Page() >= 1);
    Check(scale.TopAt(0) == 0 && scale.TopAt(scale.Max()) == lastTop);
    Check(scale.PositionOf(0) == 0 && scale.TopAt(INT_MIN) == 0 && scale.TopAt(INT_MAX) == lastTop);

    std::size_t tops[] = {tail.Take(4), tail.Take(4)};
    int positions[] = {static_cast<int>(tail.Take(4)), static_cast<int>(tail.Take(4))};
    std::sort(std::begin(tops), std::end(tops));
    std::sort(std::begin(positions), std::end(positions));
    Check(scale.PositionOf(tops[0]) <= scale.PositionOf(tops[1]));
    Check(scale.TopAt(positions[0]) <= scale.TopAt(positions[1]));
    for (const std::size_t top : tops) {
        const int position = scale.PositionOf(top);
        Check(position >= 0 && position <= scale.Max());
        // Where no more lines than positions, each line has a position of its own.
        if (lastTop <= norvane::ScrollScale::kSteps)
            Check(scale.TopAt(position) == std::min(top, lastTop));
    }
    for (const int position : positions) {
        const std::size_t top = scale.TopAt(position);
        Check(top <= lastTop);
        // Where more lines than positions, each position has a line of its own.
        if (lastTop >= norvane::ScrollScale::kSteps)
            Check(scale.PositionOf(top) == std::clamp(position, 0, scale.Max()));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that ASan sees any read past the block.
    auto* copy = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    std::copy(data, data + size, copy);
    const Block block(copy, size);
    CheckFileList(block);
    CheckHtml(block);
    CheckContents(block);
    CheckRichText(block);
    CheckShellFormats(block);
    Tail tail(block);
    CheckTextLayout(block, tail);
    CheckScrollScale(tail);
    CheckFileTimes(tail);
    std::free(copy);
    return 0;
}
