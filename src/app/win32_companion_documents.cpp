#include <windows.h>

#include "app/companion_documents.h"
#include "ui/handles.h"
#include "util/paths.h"

namespace norvane {
namespace {

std::string WindowsDirectory() {
    const UINT size = GetWindowsDirectoryA(nullptr, 0);
    std::string folder(size, '\0');
    folder.resize(GetWindowsDirectoryA(folder.data(), size));
    return folder;
}

}  // namespace

void ViewInNotepad(MessageDialog& messages, const std::string& name) {
    const std::string notepad = WindowsDirectory() + "\\Notepad.EXE";
    if (!FileExists(notepad)) {
        messages.Show(kNotepadMissing, MessageKind::Information, MessageButtons::Ok);
        return;
    }
    if (name.empty()) {
        messages.Show(kNoFileToView, MessageKind::Information, MessageButtons::Ok);
        return;
    }
    // The Notepad that was found, not whatever "Notepad.exe" the search
    // would meet first (the program's own folder comes first).
    std::string commandLine = "Notepad.exe " + name;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (CreateProcessA(notepad.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
}

void ViewReadmeFile(MessageDialog& messages) {
    ViewInNotepad(messages, ReadmePath(ExecutablePath()));
}

void ViewCatalogFile(MessageDialog& messages, std::string_view productName) {
    const std::string catalog = CatalogPath(ExecutablePath());
    if (FileExists(catalog))
        ViewInNotepad(messages, catalog);
    else
        messages.Show(CatalogMissingMessage(productName), MessageKind::Information,
                      MessageButtons::Ok);
}

}  // namespace norvane
