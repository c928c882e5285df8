// The format inspector under Wine: the time from the double-click on a line
// of the format list to the first painted dump, and the program's peak
// memory, for 1 KB, 1 MB and 64 MB in a registered format that
// clipboard_helper owns in another process. The peer: the memory that
// GetClipboardData alone takes in a process reading the same block.
// Then the text view: the time from showing CF_TEXT of 1 MB and 64 MB, on
// one line and in lines of 80 characters, to the inspector painted whole,
// each case in a process of its own (this program again), the peak memory
// before and after; "inspector_bench text" runs this part alone.
// Build: cmake --build --preset win32 --target inspector_bench clipboard_helper norvanel;
// run it with wine, NORVANE_EXE and NORVANE_HELPER set as for e2e_tests.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "clipboard/format_list.h"
#include "clipboard/win32_clipboard_service.h"
#include "e2e/driver.h"
#include "inspector/win32_format_inspector_form.h"
#include "reader/win32_reader_role.h"
#include "win32_bench_pictures.h"
#include "win32_bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Memory {
    double peakWorkingSet = 0, peakPagefile = 0, workingSet = 0, pagefile = 0;  // MB
};

Memory MemoryOf(DWORD processId) {
    Memory memory;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (process && GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        constexpr double kMB = 1024.0 * 1024.0;
        memory = {counters.PeakWorkingSetSize / kMB, counters.PeakPagefileUsage / kMB,
                  counters.WorkingSetSize / kMB, counters.PagefileUsage / kMB};
    }
    if (process) CloseHandle(process);
    return memory;
}

HWND VisibleChild(HWND parent, const char* className) {
    for (HWND child : e2e::ChildrenOf(parent))
        if (e2e::ClassName(child) == className && IsWindowVisible(child)) return child;
    return nullptr;
}

std::string ScratchFolder(std::size_t size) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "norvane-bench\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += std::to_string(size) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

struct Run {
    double milliseconds = 0;
    Memory before, after;
};

// One program: the list opened, the line double-clicked, the dump awaited.
Run InspectOnce(std::size_t size, const std::string& line) {
    e2e::Norvane program(ScratchFolder(size));
    program.Click(program.Control("List Clipboard Format"));
    HWND dialog = program.WaitForWindow("TClipboard_Formats_Form", 10s);
    program.Sync();
    HWND list = VisibleChild(dialog, "ListBox");
    int index = -1;
    for (int i = 0; i < e2e::ListBoxCount(list); ++i)
        if (e2e::ListBoxLine(list, i) == line) index = i;
    if (index < 0) throw std::runtime_error("no line " + line);
    const auto height = static_cast<LONG>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    Run run;
    run.before = MemoryOf(program.Id());
    // The first click goes through the driver (pointer moved, program idle);
    // the clock starts as the second goes in.
    const POINT centre{e2e::ClientRectOf(list).right / 2, index * height + height / 2};
    program.ClickAt(list, centre);
    INPUT clicks[2] = {};
    for (INPUT& input : clicks) input.type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    const auto start = Clock::now();
    SendInput(2, clicks, sizeof(INPUT));
    HWND dump = nullptr;
    for (;;) {
        if (!dump)
            if (HWND inspector = program.WaitForWindow("TFormat_Inspector_Form", 0ms))
                dump = VisibleChild(inspector, "TDumpView");
        if (dump && !e2e::WindowText(dump).empty()) break;  // the lines it painted
        if (Clock::now() - start > 120s) throw std::runtime_error("no dump painted");
        Sleep(1);
    }
    run.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    run.after = MemoryOf(program.Id());
    return run;
}

// The peer: what GetClipboardData alone costs a process that reads the
// block, without any copy of its own (this process's pagefile usage).
struct SystemCopy {
    double milliseconds = 0, megabytes = 0;
};

SystemCopy GetClipboardDataAlone(UINT format) {
    const double before = MemoryOf(GetCurrentProcessId()).pagefile;
    while (!OpenClipboard(nullptr)) Sleep(10);
    SystemCopy copy;
    const auto start = Clock::now();
    if (HANDLE data = GetClipboardData(format)) {
        if (GlobalLock(data)) GlobalUnlock(data);
        copy.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        copy.megabytes = MemoryOf(GetCurrentProcessId()).pagefile - before;
    }
    CloseClipboard();
    return copy;
}

struct TextCase {
    std::size_t size;
    std::size_t lineLength;  // characters before each "\r\n"; 0 for one line
    const char* name;
};

const TextCase kTextCases[] = {
    {std::size_t{1} << 20, 0, "1 MB, one line"},
    {std::size_t{1} << 20, 80, "1 MB, 80-character lines"},
    {std::size_t{64} << 20, 0, "64 MB, one line"},
    {std::size_t{64} << 20, 80, "64 MB, 80-character lines"},
};

// CF_TEXT of `c.size` bytes and its terminating zero, owned by `owner`.
double OwnPeakMegabytes() {
    return MemoryOf(GetCurrentProcessId()).peakPagefile;
}

// One case in this process: the inspector shown and painted, with its children.
void InspectText(const TextCase& c) {
    LoadLibraryA("riched20.dll");
    norvane::bench::NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    const HWND owner = norvane::bench::ClipboardOwnerWindow();
    if (!norvane::bench::PlaceBlock(owner, CF_TEXT,
                                    norvane::bench::TextBlock(c.size, c.lineLength))) {
        std::printf("%-28s could not be placed\n", c.name);
        return;
    }
    const double before = OwnPeakMegabytes();
    norvane::TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
    const double start = norvane::bench::Seconds();
    inspector.SetFormat(CF_TEXT, norvane::FormatLine(CF_TEXT, ""));
    inspector.Show();
    while (inspector.ReadingUnderWay()) {  // read on the inspector's reader thread
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    RedrawWindow(inspector.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double seconds = norvane::bench::Seconds() - start;
    std::printf("%-28s %10.0f ms %18.1f %18.1f\n", c.name, seconds * 1000, before,
                OwnPeakMegabytes());
    std::fflush(stdout);
    ShowWindow(inspector.Handle(), SW_HIDE);
    DestroyWindow(owner);
}

// Each text case three times, each in a process of its own.
int InspectTexts() {
    std::printf("%-28s %13s %18s %18s\n", "Text", "First paint", "Peak before (MB)",
                "Peak after (MB)");
    std::fflush(stdout);
    for (std::size_t n = 0; n < std::size(kTextCases); ++n)
        for (int repetition = 0; repetition < 3; ++repetition)
            if (!norvane::bench::RunThisProgramWith("text " + std::to_string(n))) return 1;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The readings of the system's clipboard start this program as their reader.
    if (const auto readerExit = norvane::RunAsReaderIfAsked()) return *readerExit;
    if (argc >= 2 && std::strcmp(argv[1], "text") == 0) {
        if (argc == 2) return InspectTexts();
        const auto n = static_cast<std::size_t>(std::atoi(argv[2]));
        if (n < std::size(kTextCases)) InspectText(kTextCases[n]);
        return 0;
    }
    const std::string line =
        "Norvane Bytes [" + std::to_string(RegisterClipboardFormatA("Norvane Bytes")) + "]";
    std::printf("%-10s %12s %14s %14s %16s %16s %24s\n", "Data", "First dump", "Working set",
                "Peak WS", "Pagefile", "Peak pagefile", "GetClipboardData alone");
    for (std::size_t size : {std::size_t{1} << 10, std::size_t{1} << 20, std::size_t{64} << 20}) {
        const e2e::ClipboardHelper owner(e2e::ClipboardHelper::Mode::Bytes, std::to_string(size));
        Run best;
        best.milliseconds = 1e9;
        for (int repetition = 0; repetition < 5; ++repetition) {
            const Run run = InspectOnce(size, line);
            if (run.milliseconds < best.milliseconds) best = run;
        }
        char name[32];
        std::snprintf(name, sizeof name, size >= (1 << 20) ? "%zu MB" : "%zu KB",
                      size >= (1 << 20) ? size >> 20 : size >> 10);
        const SystemCopy peer = GetClipboardDataAlone(RegisterClipboardFormatA("Norvane Bytes"));
        std::printf(
            "%-10s %9.1f ms %8.1f->%5.1f %11.1f MB %7.1f->%6.1f %13.1f MB %8.1f ms %+6.1f MB\n",
            name, best.milliseconds, best.before.workingSet, best.after.workingSet,
            best.after.peakWorkingSet, best.before.pagefile, best.after.pagefile,
            best.after.peakPagefile, peer.milliseconds, peer.megabytes);
        std::fflush(stdout);
    }
    return InspectTexts();
}
