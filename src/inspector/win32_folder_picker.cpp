#include "inspector/win32_folder_picker.h"

#include <objbase.h>
#include <shobjidl.h>

#include <memory>
#include <stdexcept>

#include "ui/com_ptr.h"
#include "ui/deferred_libraries.h"
#include "util/error_number.h"

namespace norvane {
namespace {

struct TaskMemFree {
    void operator()(wchar_t* text) const { deferred::CoTaskMemFree(text); }
};

void Check(HRESULT result, const char* step) {
    if (FAILED(result)) {
        throw std::runtime_error(std::string("The folder picker could not ") + step + " (" +
                                 ErrorNumberText(static_cast<unsigned long>(result)) + ").");
    }
}

// The path in the ANSI code page: as it is, else its short form, which is
// ANSI throughout; an error when neither is.
std::string AnsiPath(const wchar_t* path) {
    std::wstring wide = path;
    for (int attempt = 0; attempt < 2; ++attempt) {
        BOOL lossy = FALSE;
        const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1,
                                             nullptr, 0, nullptr, &lossy);
        if (size > 0 && !lossy) {
            std::string ansi(static_cast<std::size_t>(size), '\0');
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, ansi.data(), size,
                                nullptr, nullptr);
            ansi.pop_back();  // its terminating zero
            return ansi;
        }
        const DWORD shortSize = GetShortPathNameW(path, nullptr, 0);
        if (shortSize == 0) break;
        wide.assign(shortSize, L'\0');
        // A folder gone or renamed meanwhile gives nothing: never an empty path.
        const DWORD got = GetShortPathNameW(path, wide.data(), shortSize);
        if (got == 0 || got >= shortSize) break;
        wide.resize(got);
    }
    throw std::runtime_error(
        "The folder chosen has a name that this program cannot write to: choose another.");
}

}  // namespace

std::optional<std::string> PickFolder(HWND owner, const wchar_t* title) {
    const ComLibrary com;
    ComPtr<IFileOpenDialog> dialog;
    Check(deferred::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(dialog.put())),
          "be made");
    FILEOPENDIALOGOPTIONS options = 0;
    Check(dialog->GetOptions(&options), "be set up");
    Check(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST |
                             FOS_NOCHANGEDIR),
          "be set up");
    dialog->SetTitle(title);
    const HRESULT shown = dialog->Show(owner);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::nullopt;
    Check(shown, "be shown");
    ComPtr<IShellItem> item;
    Check(dialog->GetResult(item.put()), "tell the folder chosen");
    wchar_t* named = nullptr;
    Check(item->GetDisplayName(SIGDN_FILESYSPATH, &named), "tell the folder chosen");
    const std::unique_ptr<wchar_t, TaskMemFree> path(named);
    return AnsiPath(path.get());
}

}  // namespace norvane
