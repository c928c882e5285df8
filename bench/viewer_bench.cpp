// The viewer under Wine (or Windows) with large texts on the clipboard:
// - first open against reopen (Refresh, the same load) of the viewer itself,
//   and beside it the rich edit box refilled over its old text in place;
// - the memory a load takes per byte of text: the text once got (Wine's copy
//   of the clipboard's block, and our own copies) and what the rich edit box
//   keeps, each load in a process of its own.
// Build: cmake --build --preset win32 --target viewer_bench; run it with wine
// (no arguments; "memory SIZE HOW" is the child that measures one load).
#include <windows.h>
#include <psapi.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "clipboard/win32_clipboard_service.h"
#include "clipboard/win32_viewer_form.h"
#include "win32_bench_support.h"

namespace {

using norvane::bench::NoMessages;
using norvane::bench::Seconds;

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

// Committed private memory (Wine gives no peak of its own).
std::uint64_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

// One load in this process of the text that the parent process put on the
// clipboard, into a rich edit box of the viewer's: streamed from the locked
// block as the viewer does, or from a copy of the text taken first (as the
// viewer did before). Prints, per byte of text, what the process holds once
// the text is got and before the box takes any of it (Wine's copy of the
// clipboard's block in this process, and our own copies), and what the box
// keeps.
int MeasureOneLoad(std::size_t size, bool copied) {
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    norvane::TClipboard_Viewer_Form viewer(messages, clipboard, nullptr);
    viewer.AlignClientComponents();  // as wide as the viewer makes it: the lines wrap there
    HWND box = viewer.Get(norvane::ViewerFormPart::RichEdit1).hwnd;
    std::uint64_t atFirstChunk = 0;
    const norvane::AddressSpaceProbe sampled = [&] {
        if (!atFirstChunk) atFirstChunk = PrivateBytes();
        return norvane::AvailableAddressSpace();
    };
    const std::uint64_t before = PrivateBytes();
    std::string copy;
    {
        norvane::OpenClipboardScope open(clipboard, nullptr);
        clipboard.ReadText([&](std::string_view text) {
            if (copied)
                copy = text;
            else
                norvane::SetRichEditText(box, text, sampled);
        });
    }
    if (copied) norvane::SetRichEditText(box, copy, sampled);
    const std::uint64_t after = PrivateBytes();
    const double bytes = static_cast<double>(size);
    std::printf(
        "memory/%zuMB/%s  got, before the box takes any %5.2f B/char  box keeps %6.1f"
        " B/char  (%.0f MB in all)\n",
        size / 1000000, copied ? "copied first" : "in place  ",
        static_cast<double>(atFirstChunk - before) / bytes,
        static_cast<double>(after - atFirstChunk) / bytes, static_cast<double>(after) / 1048576.0);
    return 0;
}

void MeasureInChild(std::size_t size, bool copied) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command;
    command.append("\"").append(exe).append("\" memory ").append(std::to_string(size));
    command.append(copied ? " copied" : " inplace");
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
    if (argc == 4 && std::strcmp(argv[1], "memory") == 0)
        return MeasureOneLoad(static_cast<std::size_t>(std::atoll(argv[2])),
                              std::strcmp(argv[3], "copied") == 0);
    for (std::size_t size : {1000000u, 8000000u}) OpenAndReopen(size, size == 1000000u);
    for (std::size_t size : {1000000u, 8000000u}) {
        std::fflush(stdout);
        PlaceText(Lines(size));  // owned here, read there as from any other program
        for (bool copied : {true, false}) MeasureInChild(size, copied);
    }
    return 0;
}
