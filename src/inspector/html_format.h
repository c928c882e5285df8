// "HTML Format" as copied: a header of "Name:value" lines (Version,
// StartHTML, EndHTML, StartFragment, EndFragment, SourceURL...), then the
// HTML, with the offsets counted in bytes from the block's start. Each
// offset is checked against the block and the others; a fragment whose
// offsets lie is told, and not taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace norvane {

struct HtmlFormatReading {
    std::string version;  // empty when there is none
    // As the header gives them; none when missing; -1 where the HTML has no
    // context (StartHTML, EndHTML) is kept as such.
    std::optional<std::int64_t> startHtml, endHtml, startFragment, endFragment;
    std::string sourceUrl;
    // The fragment within the block, when its offsets hold.
    std::optional<std::span<const std::uint8_t>> fragment;
    std::string problem;  // empty when every offset holds
};
HtmlFormatReading ReadHtmlFormat(std::span<const std::uint8_t> block);

// The header's line: "HTML: version 0.9, HTML 105 to 1200, fragment 141 to 1164, source ...".
std::string HtmlFormatLine(const HtmlFormatReading& html);

}  // namespace norvane
