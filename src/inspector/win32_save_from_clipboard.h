// A format read straight from the clipboard with its failures reported, and
// "Save As..." from a line of the format list: the data read once, then the
// save dialog.
#pragma once

#include <windows.h>

#include <string>

#include "clipboard/clipboard_service.h"
#include "inspector/format_inspection.h"
#include "ui/message_dialog.h"

namespace norvane {

// Reports why a format could not be read in a message box (a clipboard
// held open elsewhere goes unreported, as in the list); true when it was read.
bool ReportReadFailure(MessageDialog& messages, const std::string& line,
                       const FormatReading& reading);
// Reads a format and reports why it cannot be read; true when it was read.
bool ReadFormatReporting(ClipboardService& clipboard, MessageDialog& messages, unsigned format,
                         const std::string& line, HWND window, FormatReading& reading);

// Save As for a format: its data read once, then the save dialog.
void SaveFormatFromClipboard(ClipboardService& clipboard, MessageDialog& messages, unsigned format,
                             const std::string& line, HWND window);

}  // namespace norvane
