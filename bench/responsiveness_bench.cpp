// How long norvanel.exe keeps its user waiting while the format inspector
// reads what another program put on the clipboard. This process places each
// case on the clipboard, starts the program, opens the format list, double-
// clicks the case's line and then, for a few seconds, asks the main window
// every 20 ms to answer a message (WM_NULL), resizing the inspector half-way;
// the longest wait for an answer is the figure. With the clipboard replaced
// every 100 ms, also how many replacements behind the inspector's text is
// when they stop.
// Build: cmake --build --preset win32 --target responsiveness_bench norvanel;
// run: NORVANE_EXE=... wine build/win32/responsiveness_bench.exe [case]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "e2e/driver.h"
#include "win32_bench_pictures.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
namespace bench = norvane::bench;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Answers what is sent to the clipboard owner's window meanwhile.
void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

bool PlaceMetafile(HWND owner, int records) {
    HENHMETAFILE metafile = bench::RectanglesMetafile(records);
    while (!OpenClipboard(owner)) Sleep(10);
    EmptyClipboard();
    const bool placed = metafile && SetClipboardData(CF_ENHMETAFILE, metafile);
    CloseClipboard();
    return placed;
}

// RTF of `size` bytes: paragraphs of plain words, as a word processor
// copies a long document (which the formatted view shows its first megabyte of).
HGLOBAL RtfBlock(std::size_t size) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Arial;}\\f0\\fs20 ";
    while (rtf.size() + 80 < size)
        rtf += "Lorem ipsum dolor sit amet, \\b consectetur\\b0  adipiscing elit.\\par\r\n";
    rtf += "}";
    return bench::BlockOf(rtf.c_str(), rtf.size() + 1);
}

struct Case {
    const char* name;
    const char* line;  // the format list's line to inspect
    std::function<bool(HWND owner)> place;
    bool churn = false;
};

std::string Line(const char* name) {
    return std::string(name) + " [" + std::to_string(RegisterClipboardFormatA(name)) + "]";
}

const Case kCases[] = {
    {"metafile, 300,000 records", "CF_ENHMETAFILE (Predefined) [14]",
     [](HWND owner) { return PlaceMetafile(owner, 300000); }},
    {"PNG, 8000 x 8000", "PNG",
     [](HWND owner) {
         return bench::PlaceBlock(owner, RegisterClipboardFormatA("PNG"), bench::PngBlock(8000));
     }},
    {"DIBV5, 4000 x 4000, alpha", "CF_MAX (Predefined) [17]",
     [](HWND owner) { return bench::PlaceBlock(owner, CF_DIBV5, bench::DibBlock(4000, 32)); }},
    {"text, 1 MB, one line", "CF_TEXT (Predefined) [1]",
     [](HWND owner) { return bench::PlaceBlock(owner, CF_TEXT, bench::TextBlock(1 << 20, 0)); }},
    {"text, 1 MB, in lines", "CF_TEXT (Predefined) [1]",
     [](HWND owner) { return bench::PlaceBlock(owner, CF_TEXT, bench::TextBlock(1 << 20, 80)); }},
    {"text, 64 MB, one line", "CF_TEXT (Predefined) [1]",
     [](HWND owner) { return bench::PlaceBlock(owner, CF_TEXT, bench::TextBlock(64 << 20, 0)); }},
    {"text, 64 MB, in lines", "CF_TEXT (Predefined) [1]",
     [](HWND owner) { return bench::PlaceBlock(owner, CF_TEXT, bench::TextBlock(64 << 20, 80)); }},
    {"RTF, 1 MB, formatted", "Rich Text Format",
     [](HWND owner) {
         return bench::PlaceBlock(owner, RegisterClipboardFormatA("Rich Text Format"),
                                  RtfBlock(1 << 20));
     }},
    {"text replaced every 100 ms", "CF_TEXT (Predefined) [1]",
     [](HWND owner) {
         return bench::PlaceBlock(owner, CF_TEXT, bench::TextBlock(64, 0, "churn 000000 "));
     },
     true},
};

int IndexOfLine(HWND list, const std::string& line) {
    for (int i = 0; i < e2e::ListBoxCount(list); ++i)
        if (e2e::ListBoxLine(list, i).rfind(line, 0) == 0) return i;
    return -1;
}

// The number after "churn " in the inspector's hex dump (its first line's
// characters), -1 when it shows none.
long ShownChurn(HWND inspector) {
    const HWND dump = e2e::ChildOfClass(inspector, "TDumpView", true);
    const std::string text = dump ? e2e::WindowText(dump) : "";
    const std::size_t at = text.find("churn ");
    return at == std::string::npos ? -1 : std::strtol(text.c_str() + at + 6, nullptr, 10);
}

std::string ScratchFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "norvane-responsiveness\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

struct Result {
    double longest = 0;  // ms
    long behind = -1;    // replacements, with churn
};

Result Measure(const Case& c, HWND owner) {
    Result result;
    const e2e::Norvane program(ScratchFolder());
    program.Click(program.Control("List Clipboard Format"));
    const HWND dialog = program.WaitForWindow("TClipboard_Formats_Form", 10s);
    program.Sync();
    const HWND list = e2e::ChildOfClass(dialog, "ListBox", true);
    const std::string line = c.line[0] == 'C' ? c.line : Line(c.line);
    const int index = IndexOfLine(list, line);
    if (index < 0) throw std::runtime_error("no line " + line);
    const auto height = static_cast<LONG>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    program.DoubleClickAt(list, {e2e::ClientRectOf(list).right / 2, index * height + height / 2});

    const auto start = Clock::now();
    const auto span = 8s;
    bool resized = false;
    long placed = 0;
    auto nextChange = start + 100ms;
    HWND inspector = nullptr;
    while (Clock::now() - start < span) {
        const auto asked = Clock::now();
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(program.Main(), WM_NULL, 0, 0, SMTO_NORMAL, 120000, &ignored);
        result.longest = std::max(result.longest, Milliseconds(Clock::now() - asked));
        if (!inspector) inspector = program.WaitForWindow("TFormat_Inspector_Form", 0ms);
        if (inspector && !resized && Clock::now() - start > span / 2) {
            const RECT r = e2e::WindowRectOf(inspector);
            SetWindowPos(inspector, nullptr, 0, 0, r.right - r.left + 40, r.bottom - r.top + 30,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
            resized = true;
        }
        const bool churning = Clock::now() - start < span - 1500ms;
        if (c.churn && !churning && result.behind < 0 && inspector) {
            // Read while the clipboard still changes, not after it rests.
            const long shown = ShownChurn(inspector);
            result.behind = shown < 0 ? placed : placed - shown;
        }
        if (c.churn && churning && Clock::now() >= nextChange) {
            char lead[32];
            std::snprintf(lead, sizeof lead, "churn %06ld ", ++placed);
            bench::PlaceBlock(owner, CF_TEXT, bench::TextBlock(64, 0, lead));
            nextChange += 100ms;
        }
        Pump();
        Sleep(20);
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    LoadLibraryA("user32.dll");
    const HWND owner = bench::ClipboardOwnerWindow();
    std::printf("%-30s %22s\n", "On the clipboard", "Longest wait for an answer");
    for (const Case& c : kCases) {
        if (argc > 1 && std::strstr(c.name, argv[1]) == nullptr) continue;
        if (!c.place(owner)) {
            std::printf("%-30s could not be placed\n", c.name);
            continue;
        }
        try {
            const Result r = Measure(c, owner);
            std::printf("%-30s %16.0f ms", c.name, r.longest);
            if (r.behind >= 0) std::printf("  (the text shown %ld changes behind)", r.behind);
            std::printf("\n");
        } catch (const std::exception& e) {
            std::printf("%-30s failed: %s\n", c.name, e.what());
        }
        std::fflush(stdout);
    }
    DestroyWindow(owner);
    return 0;
}
