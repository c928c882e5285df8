#include "ui/save_dialog.h"

#include <stdexcept>

#include "ui/deferred_libraries.h"

namespace norvane {

std::optional<std::string> AskSaveFileName(HWND owner, const std::string& proposed,
                                           const std::string& extension) {
    using namespace std::string_literals;
    const std::string filter =
        "*." + extension + '\0' + "*." + extension + '\0' + "All files\0*.*\0\0"s;
    char path[MAX_PATH] = {};
    proposed.copy(path, MAX_PATH - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!deferred::GetSaveFileNameA(&dialog)) {
        // Cancelled, or the dialog failed (a name longer than it holds): only the first is silent.
        if (const DWORD error = deferred::CommDlgExtendedError())
            throw std::runtime_error(
                "The save dialog could not be shown or could not take the name "
                "(error " +
                std::to_string(error) + ").");
        return std::nullopt;
    }
    return std::string(path);
}

}  // namespace norvane
