// A reading's failures reported, and "Save As..." from a line of the format
// list: the data read once (on the reader's worker), then the save dialog.
#pragma once

#include <windows.h>

#include <string>

#include "clipboard/clipboard_service.h"
#include "inspector/format_inspection.h"
#include "inspector/win32_format_reader.h"
#include "ui/message_dialog.h"

namespace norvane {

// Reports why a format could not be read in a message box (a clipboard
// held open elsewhere goes unreported, as in the list); true when it was read.
bool ReportReadFailure(MessageDialog& messages, const std::string& line,
                       const FormatReading& reading);
// Save As for a format read: why it could not be read, or the save dialog.
void SaveReading(HWND window, MessageDialog& messages, const std::string& line,
                 const InspectedFormat& inspected);

}  // namespace norvane
