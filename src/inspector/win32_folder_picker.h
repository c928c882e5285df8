// The system's folder picker (the file dialog choosing folders), whose
// folder can be typed into its name box as well as browsed to.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace norvane {

// The folder chosen, as an ANSI path; none when the picker was cancelled.
// Throws when the picker cannot be shown or the folder's path has no ANSI
// form.
std::optional<std::string> PickFolder(HWND owner, const wchar_t* title);

}  // namespace norvane
