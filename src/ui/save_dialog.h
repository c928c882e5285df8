// The system's "Save As" dialog, as every save of the program asks for a
// file name.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace norvane {

// The file name chosen, proposing `proposed` and files ending in
// `extension` (without its dot); none when the user cancelled. A name
// that is there already is replaced only once the user agrees.
std::optional<std::string> AskSaveFileName(HWND owner, const std::string& proposed,
                                           const std::string& extension);

}  // namespace norvane
