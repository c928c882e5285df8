// "Save As..." for one format's data: the standard save dialog, then the
// file written beside the chosen name, flushed to the disk and renamed over
// it, so that neither a failed write nor a power loss leaves the name
// holding a half-written or empty file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "clipboard/format_data.h"
#include "ui/message_dialog.h"

namespace norvane {

// Writes what Save As writes for the data to `path`; the failure's text
// (with the system's reason) when it cannot, and then nothing is left.
std::optional<std::string> WriteFormatFile(const std::string& path, unsigned format,
                                           const FormatData& data);

// Asks for a file name (proposing the kind's extension) and writes the
// file; a failure is shown in a message box. False when nothing was written.
bool SaveFormatAs(HWND owner, MessageDialog& messages, unsigned format, const FormatData& data,
                  bool isText);

}  // namespace norvane
