// The formats of a clipboard change by name, as the journal keeps, shows
// and saves them.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "clipboard/clipboard_service.h"

namespace norvane {

// "CF_UNICODETEXT, CF_LOCALE, CF_TEXT, CF_OEMTEXT": the formats in the
// clipboard's order, named as the format list names them, a registered one
// by its registered name (read wide, as UTF-8) with its control and
// bidirectional characters made visible, in double quotes where it holds a
// comma or a quote (`"PNG, CF_TEXT"`, a quote inside doubled). Needs no open
// clipboard.
std::string JournalFormatNames(ClipboardService& clipboard, std::span<const unsigned> formats);

// The formats column within `width` characters: the whole list where it
// fits, else the count and as much of the list as fits,
// "4: CF_UNICODETEXT, CF_LOC...".
std::string ShortFormatsText(std::string_view names, std::size_t count, std::size_t width);

}  // namespace norvane
