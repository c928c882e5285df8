// The viewer under Wine (or Windows) with large texts on the clipboard:
// - first open against reopen (Refresh, the same load);
// - how long the viewer holds the clipboard while it loads a text: this
//   process tries to open the clipboard every 10 ms while a child process
//   shows the viewer, and adds up the time its tries fail;
// - the child's committed memory before the viewer opened, while it shows
//   the text, after a bitmap replaced the text (Refresh), and after it closed.
// Texts of 80-character lines, placed as UTF-16 (format 13) as a Unicode
// program places them.
// Build: cmake --build --preset win32 --target viewer_bench; run it with wine
// (no arguments; "view SIZE" is the child that shows the viewer).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "clipboard/win32_clipboard_service.h"
#include "clipboard/win32_viewer_form.h"
#include "win32_bench_support.h"

namespace {

using norvane::bench::NoMessages;
using norvane::bench::Seconds;

// 80-character lines, CR LF included.
std::wstring Lines(std::size_t size) {
    std::wstring line(78, L'x');
    for (std::size_t i = 0; i < line.size(); i += 6) line[i] = L' ';
    line += L"\r\n";
    std::wstring text;
    text.reserve(size + line.size());
    while (text.size() < size) text += line;
    text.resize(size);
    return text;
}

HWND OwnerWindow() {
    static HWND owner =
        CreateWindowA("STATIC", "owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    return owner;
}

// Puts `data` on the clipboard in `format`, owned by a window of this process.
void Place(UINT format, HANDLE data) {
    OpenClipboard(OwnerWindow());
    EmptyClipboard();
    SetClipboardData(format, data);
    CloseClipboard();
}

void PlaceText(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    Place(CF_UNICODETEXT, memory);
}

double Timed(auto&& work) {
    const double start = Seconds();
    work();
    return Seconds() - start;
}

int BoxLength(norvane::TClipboard_Viewer_Form& viewer) {
    return GetWindowTextLengthA(viewer.Get(norvane::ViewerFormPart::RichEdit1).hwnd);
}

// A main form made first, as in the program: closing the first form made
// would end the program.
HWND MainForm() {
    static const norvane::FormSpec design{.className = "ViewerBenchMain",
                                          .caption = "main",
                                          .style = WS_OVERLAPPEDWINDOW,
                                          .exStyle = 0,
                                          .left = 0,
                                          .top = 0,
                                          .width = 200,
                                          .height = 100,
                                          .clientSized = false,
                                          .font = {},
                                          .designDpi = 96,
                                          .designTextHeight = 16,
                                          .components = {}};
    static NoMessages quiet;
    static norvane::Form main(design, quiet, nullptr);
    return main.Handle();
}

void OpenAndReopen(std::size_t size) {
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    PlaceText(Lines(size));
    norvane::TClipboard_Viewer_Form viewer(messages, clipboard, MainForm());
    const double first = Timed([&] { viewer.Show(); });
    const double reopen = Timed([&] { viewer.Refresh_BitBtnClick(); });
    const double again = Timed([&] { viewer.Refresh_BitBtnClick(); });
    std::printf("viewer/%zuMB  first open %8.0f ms  reopen %8.0f ms  %8.0f ms  (%d chars)\n",
                size / 1000000, first * 1000, reopen * 1000, again * 1000, BoxLength(viewer));
    viewer.Close();
}

// Committed private memory in MB (Wine gives no peak of its own).
double PrivateMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PagefileUsage) / 1048576.0;
}

// The child: shows the viewer over the text the parent placed, then a
// bitmap in its place, then closes it.
int ViewOnce(std::size_t size) {
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    norvane::TClipboard_Viewer_Form viewer(messages, clipboard, MainForm());
    const double before = PrivateMegabytes();
    const double load = Timed([&] { viewer.Show(); });
    const double shown = PrivateMegabytes();
    const int length = BoxLength(viewer);
    Place(CF_BITMAP, CreateBitmap(64, 64, 1, 32, nullptr));
    viewer.Refresh_BitBtnClick();
    const double bitmap = PrivateMegabytes();
    viewer.Close();
    const double closed = PrivateMegabytes();
    std::printf(
        "memory/%zuMB  before %5.0f MB  text shown %5.0f MB  bitmap after it %5.0f MB  closed "
        "%5.0f MB  (load %.1f s, %d chars)\n",
        size / 1000000, before, shown, bitmap, closed, load, length);
    return 0;
}

// Runs the child over a text of `size` characters while this process tries
// the clipboard every 10 ms.
void HoldAndMemory(std::size_t size) {
    PlaceText(Lines(size));
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command = std::string("\"") + exe + "\" view " + std::to_string(size);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::fflush(stdout);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process))
        return;
    double held = 0, last = Seconds();
    int failed = 0;
    while (WaitForSingleObject(process.hProcess, 10) == WAIT_TIMEOUT) {
        const double now = Seconds();
        if (OpenClipboard(nullptr)) {
            CloseClipboard();
        } else {
            held += now - last;
            ++failed;
        }
        last = now;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("hold/%zuMB  clipboard held %7.0f ms  (%d failed opens)\n", size / 1000000,
                held * 1000, failed);
}

}  // namespace

int main(int argc, char** argv) {
    LoadLibraryA("riched20.dll");
    if (argc == 3 && std::strcmp(argv[1], "view") == 0)
        return ViewOnce(static_cast<std::size_t>(std::atoll(argv[2])));
    for (std::size_t size : {1000000u, 8000000u}) OpenAndReopen(size);
    for (std::size_t size : {1000000u, 16000000u, 64000000u}) HoldAndMemory(size);
    return 0;
}
