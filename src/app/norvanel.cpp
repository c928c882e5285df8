// Entry point: creates the main window, starts the clipboard journal's
// listener, shows the main window, creates the dialogs hidden once it has
// painted, then runs the message loop.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <optional>

#include "about/win32_about_box.h"
#include "app/win32_main_form.h"
#include "app/win32_registry_store.h"
#include "clipboard/win32_clipboard_service.h"
#include "clipboard/win32_formats_form.h"
#include "clipboard/win32_viewer_form.h"
#include "inspector/win32_inspector_line_actions.h"
#include "inspector/win32_worker.h"
#include "journal/clipboard_journal.h"
#include "journal/win32_journal_form.h"
#include "journal/win32_journal_listener.h"
#include "reader/win32_reader_role.h"
#include "reader/win32_viewer_copier.h"
#include "ui/application.h"
#include "ui/win32_message_dialog.h"

namespace {

// The windows, the journal and the message loop, until the program ends.
int Run(norvane::MessageDialog& messages, norvane::ClipboardService& clipboard) {
    norvane::Win32RegistryStore registry(HKEY_LOCAL_MACHINE);
    // What the clipboard went through since start-up; the format list's
    // lines may open its window.
    norvane::ClipboardJournal journal;
    norvane::TMainForm1 MainForm1(messages, clipboard, registry);
    // Listens from here, before the main window shows, on a thread of its
    // own for the rest of the program's life; leaving stops that thread
    // and waits for it.
    norvane::ClipboardJournalListener journalListener(
        journal, clipboard, messages, norvane::ClipboardJournalListener::Handling::WhenBegun);
    // The dialogs are made right after the main window's first paint,
    // before the message loop takes any input: the window shows without
    // waiting for them. A command that comes sooner (from a message box
    // of the show sequence) makes them itself.
    std::optional<norvane::TAboutBox> AboutBox;
    std::optional<norvane::TClipboard_Viewer_Form> Clipboard_Viewer_Form;
    std::optional<norvane::TClipboard_Journal_Form> Clipboard_Journal_Form;
    std::optional<norvane::TClipboard_Formats_Form> Clipboard_Formats_Form;
    MainForm1.SetDialogMaker([&] {
        const HWND owner = MainForm1.Handle();
        AboutBox.emplace(messages, owner);
        Clipboard_Viewer_Form.emplace(messages, clipboard, owner);
        Clipboard_Viewer_Form->SetCopier(norvane::ViewerCopierInReader());
        Clipboard_Journal_Form.emplace(messages, journal, owner);
        const auto openJournal = [&Clipboard_Journal_Form] { Clipboard_Journal_Form->Open(); };
        // The format list's lines open the format inspector and its Save
        // As, and its line menu the journal's window.
        Clipboard_Formats_Form.emplace(messages, clipboard, owner,
                                       norvane::MakeInspectorLineActions, openJournal);
        MainForm1.AttachJournal(openJournal);
        MainForm1.AttachDialogs(*AboutBox, *Clipboard_Viewer_Form, *Clipboard_Formats_Form);
    });
    MainForm1.Show();
    RedrawWindow(MainForm1.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MainForm1.MakeDialogs();
    journalListener.Begin();
    return norvane::RunMessageLoop();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Started by the program as its reader: no window of its own shows.
    if (const auto readerExit = norvane::RunAsReaderIfAsked()) return *readerExit;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);

    norvane::Win32MessageDialog messages;
    try {
        norvane::Win32ClipboardService clipboard;
        const int exitCode = Run(messages, clipboard);
        // A reading still inside an owner's rendering refers to the
        // clipboard service: the process ends before the service goes.
        if (!norvane::Worker::EndLeftWorkers(std::chrono::seconds(1))) ExitProcess(exitCode);
        return exitCode;
    } catch (const std::exception& e) {
        messages.ShowError(e.what());
        return 1;
    }
}
