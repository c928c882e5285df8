// The lines of the format list: a count line, then one line per format in
// the order the system enumerates them.
#pragma once

#include <string>
#include <vector>

#include "clipboard/clipboard_service.h"

namespace norvane {

// "CF_TEXT" for 1 ... "CF_MAX" for 17; the names winuser.h gives other
// formats without a registered name; "CF_UNKNOWN" for the rest.
std::string PredefinedFormatName(unsigned format);

// "There are <n> data formats available in the Clipboard"
std::string FormatCountLine(int count);

// "<registered name> [<n>]", or "<predefined name> (Predefined) [<n>]"; the
// registered name with its control and bidirectional characters made visible.
std::string FormatLine(unsigned format, const std::string& registeredName);

struct FormatList {
    std::string countLine;
    std::vector<std::string> lines;
    std::vector<unsigned> formats;  // the format number of each line
};

// Counts (before opening), opens the clipboard for nobody, enumerates,
// names and closes. A clipboard held open elsewhere gives no lines.
FormatList ReadFormatList(ClipboardService& clipboard);

}  // namespace norvane
