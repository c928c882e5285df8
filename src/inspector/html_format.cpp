#include "inspector/html_format.h"

#include <algorithm>
#include <string_view>

namespace norvane {
namespace {

// The header is read no further than this; the fields come first, and no
// program writes more.
constexpr std::size_t kHeaderLimit = 4096;
// A version or source URL is shown up to this many characters.
constexpr std::size_t kFieldLimit = 300;
constexpr std::int64_t kLargestOffset = 0xFFFFFFFF;

std::string Cut(std::string_view value) {
    if (value.size() <= kFieldLimit) return std::string(value);
    return std::string(value.substr(0, kFieldLimit)) + "...";
}

// A decimal number of at most ten digits, "-1" included; none otherwise.
std::optional<std::int64_t> Offset(std::string_view value) {
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    if (value == "-1") return -1;
    if (value.empty() || value.size() > 10) return std::nullopt;
    std::int64_t n = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > kLargestOffset) return std::nullopt;
    return n;
}

void Tell(std::string& problem, const std::string& what) {
    if (!problem.empty()) problem += " ";
    problem += what;
}

std::string Text(const std::optional<std::int64_t>& n) {
    return n ? std::to_string(*n) : std::string("none");
}

void CheckOffsets(HtmlFormatReading& html, std::size_t blockSize) {
    const std::string size = std::to_string(blockSize);
    struct Field {
        const char* name;
        const std::optional<std::int64_t>& value;
        bool mayBeNone;  // -1: the HTML has no context
    };
    for (const Field& f :
         {Field{"StartHTML", html.startHtml, true}, Field{"EndHTML", html.endHtml, true},
          Field{"StartFragment", html.startFragment, false},
          Field{"EndFragment", html.endFragment, false}}) {
        if (!f.value)
            Tell(html.problem, std::string("The header has no ") + f.name + " offset.");
        else if (*f.value == -1 && !f.mayBeNone)
            Tell(html.problem, std::string(f.name) + " is -1.");
        else if (*f.value > static_cast<std::int64_t>(blockSize))
            Tell(html.problem, std::string(f.name) + " " + std::to_string(*f.value) +
                                   " lies past the block's " + size + " bytes.");
    }
    const auto within = [&](const std::optional<std::int64_t>& n) {
        return n && *n >= 0 && *n <= static_cast<std::int64_t>(blockSize);
    };
    if (within(html.startFragment) && within(html.endFragment) &&
        *html.startFragment > *html.endFragment)
        Tell(html.problem, "The fragment ends (" + Text(html.endFragment) + ") before it starts (" +
                               Text(html.startFragment) + ").");
    if (within(html.startHtml) && within(html.endHtml) && *html.startHtml > *html.endHtml)
        Tell(html.problem, "The HTML ends (" + Text(html.endHtml) + ") before it starts (" +
                               Text(html.startHtml) + ").");
    if (within(html.startHtml) && within(html.startFragment) &&
        *html.startFragment < *html.startHtml)
        Tell(html.problem, "The fragment starts before the HTML.");
    if (within(html.endHtml) && within(html.endFragment) && *html.endFragment > *html.endHtml)
        Tell(html.problem, "The fragment ends after the HTML.");
}

}  // namespace

HtmlFormatReading ReadHtmlFormat(std::span<const std::uint8_t> block) {
    HtmlFormatReading html;
    const std::string_view all(reinterpret_cast<const char*>(block.data()),
                               std::min(block.size(), kHeaderLimit));
    std::size_t at = 0;
    while (at < all.size() && all[at] != '<' && all[at] != '\0') {
        std::size_t end = all.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = all.size();
        const std::string_view line = all.substr(at, end - at);
        at = end;
        while (at < all.size() && (all[at] == '\r' || all[at] == '\n')) ++at;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view name = line.substr(0, colon), value = line.substr(colon + 1);
        if (name == "Version")
            html.version = Cut(value);
        else if (name == "StartHTML")
            html.startHtml = Offset(value);
        else if (name == "EndHTML")
            html.endHtml = Offset(value);
        else if (name == "StartFragment")
            html.startFragment = Offset(value);
        else if (name == "EndFragment")
            html.endFragment = Offset(value);
        else if (name == "SourceURL")
            html.sourceUrl = Cut(value);
    }
    CheckOffsets(html, block.size());
    const auto& from = html.startFragment;
    const auto& to = html.endFragment;
    if (from && to && *from >= 0 && *from <= *to && *to <= static_cast<std::int64_t>(block.size()))
        html.fragment =
            block.subspan(static_cast<std::size_t>(*from), static_cast<std::size_t>(*to - *from));
    return html;
}

std::string HtmlFormatLine(const HtmlFormatReading& html) {
    std::string line = "HTML: version " + (html.version.empty() ? "none" : html.version) +
                       ", HTML " + Text(html.startHtml) + " to " + Text(html.endHtml) +
                       ", fragment " + Text(html.startFragment) + " to " + Text(html.endFragment);
    if (!html.sourceUrl.empty()) line += ", source " + html.sourceUrl;
    return line;
}

}  // namespace norvane
