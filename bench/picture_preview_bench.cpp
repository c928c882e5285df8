// The inspector's picture preview under Wine: the time from showing a
// 4000 x 4000 picture to its first painted preview, and the process's peak
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
#include "ui/com_ptr.h"
#include "win32_bench_support.h"

namespace {

constexpr int kSide = 4000;

double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage / (1024.0 * 1024.0);
}

bool PlaceBlock(HWND owner, UINT format, HGLOBAL memory) {
    while (!OpenClipboard(owner)) Sleep(10);
    EmptyClipboard();
    const bool placed = SetClipboardData(format, memory) != nullptr;
    CloseClipboard();
    return placed;
}

HGLOBAL BlockOf(const void* bytes, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory) {
        std::memcpy(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
    }
    return memory;
}

// A kSide x kSide PNG of a gradient with alpha, written by the system's
// encoder a band of rows at a time.
HGLOBAL PngBlock() {
    using norvane::ComPtr;
    const norvane::ComLibrary com;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    constexpr UINT kBand = 100, kStride = kSide * 4;
    std::vector<BYTE> band(std::size_t{kBand} * kStride);
    bool written =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(factory.put()))) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
        SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(kSide, kSide)) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat32bppBGRA;
    for (UINT top = 0; written && top < kSide; top += kBand) {
        for (UINT y = 0; y < kBand; ++y)
            for (UINT x = 0; x < kSide; ++x)
                for (UINT c = 0; c < 4; ++c)
                    band[y * kStride + x * 4 + c] = static_cast<BYTE>(x + (top + y) * (c + 1));
        written = SUCCEEDED(
            frame->WritePixels(kBand, kStride, static_cast<UINT>(band.size()), band.data()));
    }
    written = written && SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    HGLOBAL encoded = nullptr;
    if (!written || FAILED(GetHGlobalFromStream(stream.get(), &encoded))) return nullptr;
    STATSTG status{};
    stream->Stat(&status, STATFLAG_NONAME);
    const HGLOBAL block = BlockOf(GlobalLock(encoded), status.cbSize.LowPart);
    GlobalUnlock(encoded);
    return block;
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
    return BlockOf(gif.data(), gif.size());
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
    return PlaceBlock(owner, format, memory);
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
    HWND owner =
        CreateWindowA("STATIC", "owner", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    const UINT format = c.registered ? RegisterClipboardFormatA(c.registered) : c.format;
    const bool placed = !c.registered  ? PlacePicture(owner, format, c.bits)
                        : c.bits == 32 ? PlaceBlock(owner, format, PngBlock())
                                       : PlaceBlock(owner, format, GifBlock());
    if (!placed) {
        std::printf("%-34s could not be placed\n", c.name);
        return;
    }
    const double before = PeakMegabytes();
    norvane::TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
    const double start = norvane::bench::Seconds();
    inspector.SetFormat(format, norvane::FormatLine(format, c.registered ? c.registered : ""));
    inspector.Show();
    UpdateWindow(inspector.Picture().Handle());
    const double seconds = norvane::bench::Seconds() - start;
    std::printf("%-34s %13.0f ms %18.1f %18.1f\n", c.name, seconds * 1000, before, PeakMegabytes());
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
    if (argc == 2) {
        const auto n = static_cast<std::size_t>(std::atoi(argv[1]));
        if (n < std::size(kCases)) Run(kCases[n]);
        return 0;
    }
    std::printf("%-34s %16s %18s %18s\n", "Picture", "First paint", "Peak before (MB)",
                "Peak after (MB)");
    std::fflush(stdout);
    for (std::size_t n = 0; n < std::size(kCases); ++n)
        if (!norvane::bench::RunThisProgramWith(std::to_string(n))) return 1;
    return 0;
}
