// "HTML Format" as copied: a header of "Name:value" lines (Version,
// StartHTML, EndHTML, StartFragment, EndFragment, SourceURL...), then the
// HTML, with the offsets counted in bytes from the block's start. Each
// offset is checked against the block, the others and what lies at it, as
// the system's and browsers' writers lay the block out: the header ends
// where the HTML starts (StartHTML), the HTML's <!--StartFragment--> and
// <!--EndFragment--> comments, where it has them, enclose the fragment
// exactly, and a selection (StartSelection, EndSelection, both or neither,
// -1 for none) lies within the fragment. A fragment whose offsets lie is
// told, and not taken.
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
    std::optional<std::int64_t> startSelection, endSelection;  // optional fields
    std::string sourceUrl;
    // The fragment within the block, when every offset holds.
    std::optional<std::span<const std::uint8_t>> fragment;
    std::string problem;  // empty when every offset holds
};
HtmlFormatReading ReadHtmlFormat(std::span<const std::uint8_t> block);

// The header's line: "HTML: version 0.9, HTML 105 to 1200, fragment 141 to 1164, source ...".
std::string HtmlFormatLine(const HtmlFormatReading& html);

}  // namespace norvane
