// The inspector's picture preview under Wine: the time from showing a
// 4000 x 4000 picture until the window answers again (the picture is
// decoded on the preview's worker) and to its first painted preview, and the process's peak
// memory before and after: a DIB (32 bits with alpha, drawn over the
// checkerboard, and 24 bits, drawn as it is), a PNG (32 bits with alpha,
// written by the system's encoder, decoded by its imaging components) and a
// GIF (8 bits, literal codes, decoded by the program's own decoder). This
// process places the picture on the clipboard itself, so its own copy is in
// the figures before the inspector opens.
// Build: cmake --build --preset win32 --target picture_preview_bench;
// run: wine build/win32/picture_preview_bench.exe
#include <windows.h>
#include <psapi.h>
#include <wincodec.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "clipboard/format_list.h"
#include "clipboard/win32_clipboard_service.h"
#include "inspector/win32_format_inspector_form.h"
#include "reader/win32_reader_role.h"
#include "ui/com_ptr.h"
#include "win32_bench_pictures.h"
#include "win32_bench_support.h"

namespace {

constexpr int kSide = 4000;

double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage / (1024.0 * 1024.0);
}

// A kSide x kSide GIF of a gradient in 256 colours, written with literal
// codes (9 bits each, the table restarted before it grows).
HGLOBAL GifBlock() {
    std::string gif = "GIF89a";
    const auto put16 = [&](unsigned v) {
        gif += {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    };
    put16(kSide);
    put16(kSide);
    gif += {static_cast<char>(0xF7), 0, 0};  // a global table of 256 entries
    for (int i = 0; i < 256; ++i)
        gif += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i / 2)};
    gif += ',';
    put16(0);
    put16(0);
    put16(kSide);
    put16(kSide);
    gif += {0, 8};  // no local table; minimum code size 8
    std::string data;
    std::uint32_t accumulator = 0;
    int bits = 0, sinceClear = 0;
    const auto code = [&](unsigned value) {
        accumulator |= value << bits;
        for (bits += 9; bits >= 8; bits -= 8, accumulator >>= 8)
            data += static_cast<char>(accumulator & 0xFF);
    };
    code(256);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            if (sinceClear == 254) {
                code(256);
                sinceClear = 0;
            }
            code(static_cast<unsigned>((x + y) & 0xFF));
            ++sinceClear;
        }
    code(257);
    if (bits > 0) data += static_cast<char>(accumulator & 0xFF);
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t size = std::min<std::size_t>(255, data.size() - at);
        gif += static_cast<char>(size);
        gif.append(data, at, size);
    }
    gif += {0, ';'};
    return norvane::bench::BlockOf(gif.data(), gif.size());
}

// A kSide x kSide DIB of `bits` per pixel, on the clipboard as `format`.
bool PlacePicture(HWND owner, UINT format, int bits) {
    HGLOBAL memory = norvane::bench::DibBlock(kSide, bits);
    return memory && norvane::bench::PlaceBlock(owner, format, memory);
}

struct Case {
    const char* registered;  // the format's name; null for the DIBs' numbers
    UINT format;
    int bits;
    const char* name;
};
const Case kCases[] = {
    {nullptr, CF_DIBV5, 32, "4000 x 4000, 32 bits, alpha (V5)"},
    {nullptr, CF_DIB, 24, "4000 x 4000, 24 bits"},
    {"PNG", 0, 32, "4000 x 4000 PNG, 32 bits, alpha"},
    {"GIF", 0, 8, "4000 x 4000 GIF, 8 bits"},
};

void Run(const Case& c) {
    LoadLibraryA("riched20.dll");
    norvane::bench::NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    const HWND owner = norvane::bench::ClipboardOwnerWindow();
    const UINT format = c.registered ? RegisterClipboardFormatA(c.registered) : c.format;
    const bool placed =
        !c.registered  ? PlacePicture(owner, format, c.bits)
        : c.bits == 32 ? norvane::bench::PlaceBlock(owner, format, norvane::bench::PngBlock(kSide))
                       : norvane::bench::PlaceBlock(owner, format, GifBlock());
    if (!placed) {
        std::printf("%-34s could not be placed\n", c.name);
        return;
    }
    const double before = PeakMegabytes();
    norvane::TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
    const double start = norvane::bench::Seconds();
    inspector.SetFormat(format, norvane::FormatLine(format, c.registered ? c.registered : ""));
    inspector.Show();
    const double answered = norvane::bench::Seconds() - start;
    while (inspector.ReadingUnderWay() || inspector.Picture().Working()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    UpdateWindow(inspector.Picture().Handle());
    const double seconds = norvane::bench::Seconds() - start;
    std::printf("%-34s %10.0f ms %13.0f ms %18.1f %18.1f\n", c.name, answered * 1000,
                seconds * 1000, before, PeakMegabytes());
    if (!IsWindowVisible(inspector.Picture().Handle()))
        std::printf(
            "    not previewed: %s\n",
            inspector.TextOf(inspector.Get(norvane::InspectorFormPart::Header_Label)).c_str());
    ShowWindow(inspector.Handle(), SW_HIDE);
    DestroyWindow(owner);
}

}  // namespace

// Each case runs in a process of its own (this program again, given the
// case's number), so that each peak is that case's alone.
int main(int argc, char** argv) {
    // The readings of the system's clipboard start this program as their reader.
    if (const auto readerExit = norvane::RunAsReaderIfAsked()) return *readerExit;
    if (argc == 2) {
        const auto n = static_cast<std::size_t>(std::atoi(argv[1]));
        if (n < std::size(kCases)) Run(kCases[n]);
        return 0;
    }
    std::printf("%-34s %13s %16s %18s %18s\n", "Picture", "Answers", "First paint",
                "Peak before (MB)", "Peak after (MB)");
    std::fflush(stdout);
    for (std::size_t n = 0; n < std::size(kCases); ++n)
        if (!norvane::bench::RunThisProgramWith(std::to_string(n))) return 1;
    return 0;
}
