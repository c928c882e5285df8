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

std::string_view Within(std::span<const std::uint8_t> block, std::int64_t from, std::int64_t to) {
    return {reinterpret_cast<const char*>(block.data()) + from,
            static_cast<std::size_t>(to - from)};
}

// What the offsets, each within the block and in order, say against the
// layout of the block: where its header ends (`headerEnded`: within the
// limit), its comments and its selection.
void CheckAgreement(HtmlFormatReading& html, std::span<const std::uint8_t> block, bool headerEnded,
                    std::size_t headerEnd, bool selectionUnreadable) {
    const std::int64_t startHtml = *html.startHtml, endHtml = *html.endHtml;
    const std::int64_t from = *html.startFragment, to = *html.endFragment;
    if ((startHtml == -1) != (endHtml == -1))
        Tell(html.problem, "Only one of StartHTML and EndHTML is -1.");
    const auto header = static_cast<std::int64_t>(headerEnd);
    if (!headerEnded)
        Tell(html.problem, "The header does not end within its first " +
                               std::to_string(kHeaderLimit) + " bytes.");
    else if (startHtml != -1 && startHtml != header)
        Tell(html.problem, "StartHTML is " + std::to_string(startHtml) +
                               ", but the header ends at offset " + std::to_string(headerEnd) +
                               ".");
    else if (from < header)
        Tell(html.problem, "The fragment starts (" + std::to_string(from) +
                               ") within the header, which ends at offset " +
                               std::to_string(headerEnd) + ".");

    // A writer's comments come first and last: any within the fragment are
    // the HTML's own.
    const std::int64_t htmlFrom = startHtml == -1 ? header : startHtml;
    const std::int64_t htmlTo = endHtml == -1 ? static_cast<std::int64_t>(block.size()) : endHtml;
    if (htmlFrom <= htmlTo) {
        const std::string_view all = Within(block, htmlFrom, htmlTo);
        constexpr std::string_view kStart = "<!--StartFragment-->", kEnd = "<!--EndFragment-->";
        if (const std::size_t at = all.find(kStart); at != std::string_view::npos) {
            const std::int64_t end = htmlFrom + static_cast<std::int64_t>(at + kStart.size());
            if (end != from)
                Tell(html.problem, "The <!--StartFragment--> comment ends at offset " +
                                       std::to_string(end) + ", not at StartFragment (" +
                                       std::to_string(from) + ").");
        }
        if (const std::size_t at = all.rfind(kEnd); at != std::string_view::npos) {
            const std::int64_t start = htmlFrom + static_cast<std::int64_t>(at);
            if (start != to)
                Tell(html.problem, "The <!--EndFragment--> comment starts at offset " +
                                       std::to_string(start) + ", not at EndFragment (" +
                                       std::to_string(to) + ").");
        }
    }

    const auto given = [](const std::optional<std::int64_t>& n) { return n && *n != -1; };
    if (selectionUnreadable)
        Tell(html.problem, "The header's StartSelection or EndSelection is no offset.");
    else if (given(html.startSelection) != given(html.endSelection))
        Tell(html.problem, "Only one of StartSelection and EndSelection is given.");
    else if (given(html.startSelection) &&
             !(from <= *html.startSelection && *html.startSelection <= *html.endSelection &&
               *html.endSelection <= to))
        Tell(html.problem, "The selection (" + Text(html.startSelection) + " to " +
                               Text(html.endSelection) + ") does not lie within the fragment (" +
                               std::to_string(from) + " to " + std::to_string(to) + ").");
}

}  // namespace

HtmlFormatReading ReadHtmlFormat(std::span<const std::uint8_t> block) {
    HtmlFormatReading html;
    const std::string_view all(reinterpret_cast<const char*>(block.data()),
                               std::min(block.size(), kHeaderLimit));
    std::size_t at = 0;
    bool selectionUnreadable = false;
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
        else if (name == "StartSelection" || name == "EndSelection") {
            auto& field = name == "StartSelection" ? html.startSelection : html.endSelection;
            field = Offset(value);
            selectionUnreadable = selectionUnreadable || !field;
        }
    }
    // The header ends where the reading stopped, unless it stopped at the limit.
    const bool headerEnded = at < all.size() || block.size() <= kHeaderLimit;
    CheckOffsets(html, block.size());
    if (!html.problem.empty()) return html;
    CheckAgreement(html, block, headerEnded, at, selectionUnreadable);
    if (!html.problem.empty()) return html;
    const auto from = static_cast<std::size_t>(*html.startFragment);
    html.fragment = block.subspan(from, static_cast<std::size_t>(*html.endFragment) - from);
    return html;
}

std::string HtmlFormatLine(const HtmlFormatReading& html) {
    std::string line = "HTML: version " + (html.version.empty() ? "none" : html.version) +
                       ", HTML " + Text(html.startHtml) + " to " + Text(html.endHtml) +
                       ", fragment " + Text(html.startFragment) + " to " + Text(html.endFragment);
    if (html.startSelection || html.endSelection)
        line += ", selection " + Text(html.startSelection) + " to " + Text(html.endSelection);
    if (!html.sourceUrl.empty()) line += ", source " + html.sourceUrl;
    return line;
}

}  // namespace norvane
