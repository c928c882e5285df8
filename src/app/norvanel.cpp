// Entry point: creates the program's windows, hidden and in order, starts
// the clipboard journal's listener, then runs the message loop, which first
// shows the main window.
#include <windows.h>
#include <commctrl.h>

#include "about/win32_about_box.h"
#include "app/win32_main_form.h"
#include "app/win32_registry_store.h"
#include "clipboard/win32_clipboard_service.h"
#include "clipboard/win32_formats_form.h"
#include "clipboard/win32_viewer_form.h"
#include "inspector/win32_inspector_line_actions.h"
#include "journal/clipboard_journal.h"
#include "journal/win32_journal_form.h"
#include "journal/win32_journal_listener.h"
#include "ui/application.h"
#include "ui/win32_message_dialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);

    norvane::Win32MessageDialog messages;
    try {
        norvane::Win32ClipboardService clipboard;
        norvane::Win32RegistryStore registry(HKEY_LOCAL_MACHINE);
        // What the clipboard went through since start-up; the format list's
        // lines may open its window.
        norvane::ClipboardJournal journal;
        norvane::TMainForm1 MainForm1(messages, clipboard, registry);
        norvane::TAboutBox AboutBox(messages, MainForm1.Handle());
        norvane::TClipboard_Viewer_Form Clipboard_Viewer_Form(messages, clipboard,
                                                              MainForm1.Handle());
        norvane::TClipboard_Journal_Form Clipboard_Journal_Form(messages, journal,
                                                                MainForm1.Handle());
        // The format list's lines open the format inspector and its Save As,
        // and its line menu the journal's window.
        norvane::TClipboard_Formats_Form Clipboard_Formats_Form(
            messages, clipboard, MainForm1.Handle(), norvane::MakeInspectorLineActions,
            [&Clipboard_Journal_Form] { Clipboard_Journal_Form.Open(); });
        MainForm1.AttachDialogs(AboutBox, Clipboard_Viewer_Form, Clipboard_Formats_Form);
        // Listens from here, after the windows, on a thread of its own for the
        // rest of the program's life; leaving stops that thread and waits for it.
        norvane::ClipboardJournalListener journalListener(journal, clipboard, messages);
        MainForm1.Show();
        return norvane::RunMessageLoop();
    } catch (const std::exception& e) {
        messages.ShowError(e.what());
        return 1;
    }
}
