// The readers of file lists, "HTML Format" headers and locales, and the
// check of RTF for the formatted view, on any block: no read past the block
// (ASan), every path and fragment they hand out lies within it, and a block
// they find whole holds what its header says.
#include "inspector/format_contents.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "checked_sum.h"
#include "clipboard/standard_formats.h"
#include "inspector/file_list.h"
#include "inspector/html_format.h"
#include "inspector/rich_text.h"

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
    std::free(copy);
    return 0;
}
