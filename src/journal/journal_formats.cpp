#include "journal/journal_formats.h"

#include "clipboard/format_list.h"
#include "util/utf8_text.h"
#include "util/visible_text.h"

namespace norvane {

namespace {

// A registered name as one item of the list: its hidden characters made
// visible, and in double quotes (a quote inside doubled) where it holds
// the list's comma or a quote, so that no name reads as two.
std::string ListedName(std::string_view registered) {
    const std::string visible = VisibleText(registered);
    if (visible.find_first_of(",\"") == std::string::npos) return visible;
    std::string quoted = "\"";
    for (const char c : visible) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::string JournalFormatNames(ClipboardService& clipboard, std::span<const unsigned> formats) {
    std::string names;
    for (const unsigned format : formats) {
        if (!names.empty()) names += ", ";
        const std::string registered = clipboard.FormatNameUtf8(format);
        names += registered.empty() ? PredefinedFormatName(format) : ListedName(registered);
    }
    return names;
}

std::string ShortFormatsText(std::string_view names, std::size_t count, std::size_t width) {
    if (Utf8Length(names) <= width) return std::string(names);
    constexpr std::string_view kCut = "...";
    std::string text = std::to_string(count) + ": ";
    const std::size_t used = text.size() + kCut.size();
    if (width > used) text += Utf8Characters(names, width - used);
    return text + std::string(kCut);
}

}  // namespace norvane
