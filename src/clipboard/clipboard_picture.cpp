#include "clipboard/clipboard_picture.h"

#include <cctype>

#include "clipboard/format_list.h"

namespace norvane {

unsigned PlacedDibFormat(ClipboardService& clipboard) {
    for (unsigned format = clipboard.EnumFormats(0); format != 0;
         format = clipboard.EnumFormats(format))
        if (format == kDibFormat || format == kDibV5Format) return format;
    return 0;
}

std::string BitmapFromDibRefusedText(unsigned dibFormat, std::string_view problem) {
    // The sentence as a clause of this one.
    std::string clause(problem);
    if (!clause.empty() && clause.back() == '.') clause.pop_back();
    if (!clause.empty())
        clause.front() =
            static_cast<char>(std::tolower(static_cast<unsigned char>(clause.front())));
    return "the system makes it from the clipboard's " + PredefinedFormatName(dibFormat) +
           ", whose header does not fit its block: " + clause;
}

}  // namespace norvane
