// How long the viewer's rich edit box takes to show 100 KB and 1 MB of text
// under Wine (or Windows): the plain WM_SETTEXT against the way the viewer
// loads (limit raised, redraw off, streamed in as text), in one run.
// Build: cmake --build --preset win32 --target viewer_bench; run it with wine.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <string>

#include "clipboard/win32_viewer_form.h"

namespace {

double Seconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Text(std::size_t size, bool lines) {
    const std::string piece =
        lines ? "The quick brown fox jumps over the lazy dog, time and again.\r\n"
              : "clipboard text without line breaks, ";
    std::string text;
    while (text.size() < size) text += piece;
    return text;
}

}  // namespace

int main() {
    LoadLibraryA("riched20.dll");
    HWND parent = CreateWindowA("STATIC", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                nullptr, nullptr, nullptr);
    std::printf("%-34s %12s %10s\n", "Benchmark", "Time", "Length");
    for (bool lines : {true, false}) {
        for (std::size_t size : {100000u, 1000000u}) {
            const std::string text = Text(size, lines);
            for (bool viewer : {false, true}) {
                double best = 1e9;
                int length = 0;
                for (int run = 0; run < 3; ++run) {
                    HWND box = CreateWindowExA(0, RICHEDIT_CLASSA, "", WS_CHILD | ES_MULTILINE, 0,
                                               0, 580, 380, parent, nullptr, nullptr, nullptr);
                    SendMessageA(box, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
                    const double start = Seconds();
                    if (viewer) {
                        norvane::SetRichEditText(box, text);
                    } else {
                        SendMessageA(box, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(text.size() + 1));
                        SetWindowTextA(box, text.c_str());
                    }
                    best = std::min(best, Seconds() - start);
                    length = GetWindowTextLengthA(box);
                    DestroyWindow(box);
                }
                char name[64];
                std::snprintf(name, sizeof name, "%s/%s/%zuKB", viewer ? "viewer" : "settext",
                              lines ? "lines" : "one-line", size / 1000);
                std::printf("%-34s %9.1f ms %10d\n", name, best * 1000, length);
            }
        }
    }
    return 0;
}
