// The viewer under Wine (or Windows) with large texts on the clipboard:
// - first open against reopen (Refresh, the same load) of the viewer itself,
//   and beside it the rich edit box refilled over its old text in place;
// - the address space a load takes per byte of text: what the rich edit box
//   keeps, and what the load holds only for a while (our own copies), each
//   load in a process of its own so that its peak is its own.
// Build: cmake --build --preset win32 --target viewer_bench; run it with wine
// (no arguments; "memory SIZE" is the child that measures one load).
#include <windows.h>
#include <psapi.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "clipboard/win32_clipboard_service.h"
#include "clipboard/win32_viewer_form.h"

namespace {

class NoMessages : public norvane::MessageDialog {
  public:
    norvane::MessageAnswer Show(std::string_view, norvane::MessageKind,
                                norvane::MessageButtons) override {
        return norvane::MessageAnswer::Ok;
    }
    void ShowError(std::string_view) noexcept override {}
};

double Seconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// 80-character lines, CR LF included.
std::string Lines(std::size_t size) {
    std::string line(78, 'x');
    for (std::size_t i = 0; i < line.size(); i += 6) line[i] = ' ';
    line += "\r\n";
    std::string text;
    text.reserve(size + line.size());
    while (text.size() < size) text += line;
    text.resize(size);
    return text;
}

// Puts `text` on the clipboard, owned by a window of this process.
void PlaceText(const std::string& text) {
    static HWND owner =
        CreateWindowA("STATIC", "owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    OpenClipboard(owner);
    EmptyClipboard();
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

double Timed(auto&& work) {
    const double start = Seconds();
    work();
    return Seconds() - start;
}

void OpenAndReopen(std::size_t size, bool inPlacePeer) {
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    const std::string text = Lines(size);
    PlaceText(text);
    norvane::TClipboard_Viewer_Form viewer(messages, clipboard, nullptr);
    const double first = Timed([&] { viewer.Show(); });
    const double reopen = Timed([&] { viewer.Refresh_BitBtnClick(); });
    const double again = Timed([&] { viewer.Refresh_BitBtnClick(); });
    const int length = GetWindowTextLengthA(viewer.Get(norvane::ViewerFormPart::RichEdit1).hwnd);
    std::printf("viewer/%zuMB  first open %8.0f ms  reopen %8.0f ms  %8.0f ms  (%d chars)\n",
                size / 1000000, first * 1000, reopen * 1000, again * 1000, length);
    if (!inPlacePeer) return;
    HWND box = viewer.Get(norvane::ViewerFormPart::RichEdit1).hwnd;
    const double inPlace = Timed([&] { norvane::SetRichEditText(box, text); });
    std::printf("in-place/%zuMB  refill over the old text %8.0f ms\n", size / 1000000,
                inPlace * 1000);
}

// Committed private memory, now or at its peak.
std::uint64_t PrivateBytes(bool peak) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return peak ? counters.PeakPagefileUsage : counters.PagefileUsage;
}

// One load in this process: prints the bytes per byte of text that the box
// keeps and that the load holds only while it runs.
int MeasureOneLoad(std::size_t size) {
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    PlaceText(Lines(size));  // the text's own string is gone again: only the clipboard's block
    norvane::TClipboard_Viewer_Form viewer(messages, clipboard, nullptr);
    const std::uint64_t before = PrivateBytes(false);
    viewer.Show();
    const std::uint64_t after = PrivateBytes(false), peak = PrivateBytes(true);
    const double bytes = static_cast<double>(size);
    std::printf(
        "memory/%zuMB  rich edit keeps %6.1f B/char  load holds for a while %6.2f B/char"
        "  (%.0f MB at the peak)\n",
        size / 1000000, static_cast<double>(after - before) / bytes,
        static_cast<double>(peak - std::max(after, before)) / bytes,
        static_cast<double>(peak) / 1048576.0);
    return 0;
}

void MeasureInChild(std::size_t size) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command;
    command.append("\"").append(exe).append("\" memory ").append(std::to_string(size));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process))
        return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

int main(int argc, char** argv) {
    LoadLibraryA("riched20.dll");
    if (argc == 3 && std::strcmp(argv[1], "memory") == 0)
        return MeasureOneLoad(static_cast<std::size_t>(std::atoll(argv[2])));
    for (std::size_t size : {1000000u, 8000000u}) OpenAndReopen(size, size == 1000000u);
    for (std::size_t size : {1000000u, 8000000u}) {
        std::fflush(stdout);
        MeasureInChild(size);
    }
    return 0;
}
