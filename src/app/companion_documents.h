// The readme and the maker's catalog, shown in Windows Notepad.
#pragma once

#include <string>
#include <string_view>

#include "ui/message_dialog.h"

namespace norvane {

inline constexpr char kNotepadMissing[] = "Windows Notepad could not be found.";
inline constexpr char kNoFileToView[] = "No Log File to View.";

// The executable's folder and its file name up to the first "." + ".txt".
std::string ReadmePath(std::string_view executablePath);
std::string CatalogPath(std::string_view executablePath);
std::string CatalogMissingMessage(std::string_view productName);

// Starts Notepad from the Windows folder on `name`, and returns at once.
void ViewInNotepad(MessageDialog& messages, const std::string& name);
void ViewReadmeFile(MessageDialog& messages);
void ViewCatalogFile(MessageDialog& messages, std::string_view productName);

}  // namespace norvane
