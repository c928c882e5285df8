// The entry point's steps one by one, each timed, in a process started
// cold as norvanel.exe is (a program of the windows subsystem, linked as
// it is): the process and C runtime (from the process's creation to
// WinMain), the main window made, the journal's listener, the show
// sequence step by step (settings file, identity texts descrambled, Run
// entry), the window's display and first paint, and the dialogs made
// hidden after it. startup_bench runs it and prints the medians; it writes its lines to
// the standard output handle it was given.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "about/win32_about_box.h"
#include "app/run_entry.h"
#include "app/win32_main_form.h"
#include "app/win32_registry_store.h"
#include "clipboard/win32_clipboard_service.h"
#include "clipboard/win32_formats_form.h"
#include "clipboard/win32_viewer_form.h"
#include "inspector/win32_inspector_line_actions.h"
#include "journal/clipboard_journal.h"
#include "journal/win32_journal_form.h"
#include "journal/win32_journal_listener.h"
#include "reader/win32_reader_role.h"
#include "ui/application.h"
#include "util/paths.h"
#include "win32_bench_support.h"

namespace {

double Milliseconds() {
    return norvane::bench::Seconds() * 1000;
}

// Milliseconds since this process was created, by the system's clock.
double SinceProcessCreated() {
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    const auto ticks = [](FILETIME t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
    };
    return (ticks(now) - ticks(created)) / 10000.0;
}

// Writes "step<TAB>milliseconds" lines to the standard output handle that
// the benchmark handed down (a program of the windows subsystem has no
// console of its own).
class StepClock {
  public:
    explicit StepClock(double sinceCreated) {
        Write("process and C runtime (creation to WinMain)", sinceCreated);
    }
    // Times what ran since the step before.
    void Step(const char* name) {
        const double now = Milliseconds();
        Write(name, now - last_);
        last_ = now;
    }

  private:
    static void Write(const char* name, double ms) {
        char line[160];
        const int n = std::snprintf(line, sizeof line, "%s\t%.3f\n", name, ms);
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(n), &written, nullptr);
    }

    double last_ = Milliseconds();
};

}  // namespace

// The entry point's steps in its order (src/app/norvanel.cpp), the main
// window's show sequence (TMainForm1::FormShow) taken apart.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The readings of the system's clipboard start this program as their reader.
    if (const auto readerExit = norvane::RunAsReaderIfAsked()) return *readerExit;
    StepClock clock(SinceProcessCreated());
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);
    clock.Step("common controls");

    norvane::bench::NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    norvane::Win32RegistryStore registry(HKEY_LOCAL_MACHINE);
    norvane::ClipboardJournal journal;
    clock.Step("services and the journal");
    norvane::TMainForm1 MainForm1(messages, clipboard, registry);
    clock.Step("main window made (class, icon, fonts, controls, menu)");
    norvane::ClipboardJournalListener journalListener(journal, clipboard, messages);
    clock.Step("journal's listener");

    // The show sequence (TMainForm1::FormShow), step by step.
    using enum norvane::MainFormPart;
    const norvane::Bounds list = MainForm1.BoundsOf(MainForm1.Get(List_Clipboard_Format_BitBtn));
    MainForm1.SetClientHeight(list.top + list.height +
                              MainForm1.BoundsOf(MainForm1.Get(Erase_Clipboard_BitBtn)).top);
    MainForm1.SetClientWidth(list.width + 2 * list.left);
    MainForm1.TakeLayoutSnapshot();
    clock.Step("show: client size and layout snapshot");
    const bool maximised = MainForm1.LoadSettings();
    clock.Step("show: settings file read and applied");
    MainForm1.Set_Product_Identity();
    clock.Step("show: identity texts descrambled and written");
    MainForm1.ApplyStartupShowState();
    if (maximised) ShowWindow(MainForm1.Handle(), SW_SHOWMAXIMIZED);
    auto& onTop = MainForm1.Get(Always_On_Top_Option);
    MainForm1.SetChecked(onTop, !MainForm1.IsChecked(onTop));
    MainForm1.ToggleAlwaysOnTop();
    clock.Step("show: show state and Always On Top");
    norvane::RunEntry(registry, messages, norvane::ExecutablePath()).Verify();
    clock.Step("show: Run entry read");
    if (!IsWindowVisible(MainForm1.Handle())) ShowWindow(MainForm1.Handle(), SW_SHOW);
    SetForegroundWindow(MainForm1.Handle());
    clock.Step("main window displayed");
    RedrawWindow(MainForm1.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    clock.Step("first paint (buttons' glyphs loaded)");

    norvane::TAboutBox AboutBox(messages, MainForm1.Handle());
    clock.Step("after the paint: About dialog made hidden");
    norvane::TClipboard_Viewer_Form Clipboard_Viewer_Form(messages, clipboard, MainForm1.Handle());
    clock.Step("after the paint: viewer made hidden");
    norvane::TClipboard_Journal_Form Clipboard_Journal_Form(messages, journal, MainForm1.Handle());
    clock.Step("after the paint: journal window made hidden");
    norvane::TClipboard_Formats_Form Clipboard_Formats_Form(
        messages, clipboard, MainForm1.Handle(), norvane::MakeInspectorLineActions,
        [&Clipboard_Journal_Form] { Clipboard_Journal_Form.Open(); });
    MainForm1.AttachDialogs(AboutBox, Clipboard_Viewer_Form, Clipboard_Formats_Form);
    clock.Step("after the paint: format list made hidden, About texts written");
    norvane::ProcessPendingMessages();
    clock.Step("messages pending after the first paint");
    return 0;
}
