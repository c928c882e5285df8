// The inspector's picture preview under Wine: the time from showing a
// 4000 x 4000 DIB (32 bits with alpha, drawn over the checkerboard, and 24
// bits, drawn as it is) to its first painted preview, and the process's peak
// memory before and after. This process places the picture on the clipboard
// itself, so its own copy is in the figures before the inspector opens.
// Build: cmake --build --preset win32 --target picture_preview_bench;
// run: wine build/win32/picture_preview_bench.exe
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <tuple>

#include "clipboard/format_list.h"
#include "clipboard/win32_clipboard_service.h"
#include "inspector/win32_format_inspector_form.h"
#include "win32_bench_support.h"

namespace {

constexpr int kSide = 4000;

double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage / (1024.0 * 1024.0);
}

// A kSide x kSide DIB of `bits` per pixel (a V5 header with an alpha mask
// for 32), a gradient, on the clipboard as `format`.
bool PlacePicture(HWND owner, UINT format, int bits) {
    const std::size_t header = bits == 32 ? sizeof(BITMAPV5HEADER) : sizeof(BITMAPINFOHEADER);
    const std::size_t stride = (static_cast<std::size_t>(kSide) * bits / 8 + 3) & ~std::size_t{3};
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, header + stride * kSide);
    if (!memory) return false;
    auto* block = static_cast<unsigned char*>(GlobalLock(memory));
    BITMAPV5HEADER v5{};
    v5.bV5Size = static_cast<DWORD>(header);
    v5.bV5Width = kSide;
    v5.bV5Height = kSide;
    v5.bV5Planes = 1;
    v5.bV5BitCount = static_cast<WORD>(bits);
    if (bits == 32) {
        v5.bV5Compression = BI_BITFIELDS;
        v5.bV5RedMask = 0x00FF0000;
        v5.bV5GreenMask = 0x0000FF00;
        v5.bV5BlueMask = 0x000000FF;
        v5.bV5AlphaMask = 0xFF000000;
    }
    std::memcpy(block, &v5, header);
    for (int y = 0; y < kSide; ++y) {
        unsigned char* row = block + header + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < kSide; ++x)
            for (int c = 0; c < bits / 8; ++c)
                row[x * bits / 8 + c] = static_cast<unsigned char>(x + y * c);
    }
    GlobalUnlock(memory);
    while (!OpenClipboard(owner)) Sleep(10);
    EmptyClipboard();
    const bool placed = SetClipboardData(format, memory) != nullptr;
    CloseClipboard();
    return placed;
}

}  // namespace

int main() {
    LoadLibraryA("riched20.dll");
    norvane::bench::NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    HWND owner =
        CreateWindowA("STATIC", "owner", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    std::printf("%-34s %16s %18s %18s\n", "Picture", "First paint", "Peak before (MB)",
                "Peak after (MB)");
    for (const auto& [format, bits, name] :
         {std::tuple{UINT{CF_DIBV5}, 32, "4000 x 4000, 32 bits, alpha (V5)"},
          std::tuple{UINT{CF_DIB}, 24, "4000 x 4000, 24 bits"}}) {
        if (!PlacePicture(owner, format, bits)) {
            std::printf("%-34s could not be placed\n", name);
            continue;
        }
        const double before = PeakMegabytes();
        norvane::TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
        const double start = norvane::bench::Seconds();
        inspector.SetFormat(format, norvane::FormatLine(format, ""));
        inspector.Show();
        UpdateWindow(inspector.Picture().Handle());
        const double seconds = norvane::bench::Seconds() - start;
        std::printf("%-34s %13.0f ms %18.1f %18.1f\n", name, seconds * 1000, before,
                    PeakMegabytes());
        ShowWindow(inspector.Handle(), SW_HIDE);
    }
    DestroyWindow(owner);
    return 0;
}
