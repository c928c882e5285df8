#include "journal/journal_formats.h"

#include "clipboard/format_list.h"
#include "util/utf8_text.h"

namespace norvane {

std::string JournalFormatNames(ClipboardService& clipboard, std::span<const unsigned> formats) {
    std::string names;
    for (const unsigned format : formats) {
        if (!names.empty()) names += ", ";
        const std::string registered = clipboard.FormatNameUtf8(format);
        names += registered.empty() ? PredefinedFormatName(format) : registered;
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
