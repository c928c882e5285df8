#include "win32_bench_pictures.h"

#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/com_ptr.h"

namespace norvane::bench {

HWND ClipboardOwnerWindow() {
    return CreateWindowA("STATIC", "owner", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

HGLOBAL TextBlock(std::size_t size, std::size_t lineLength, std::string_view lead) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size + 1);
    if (!memory) return nullptr;
    auto* text = static_cast<char*>(GlobalLock(memory));
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
    std::memcpy(text, lead.data(), std::min(lead.size(), size));
    if (lineLength)
        for (std::size_t at = lineLength; at + 1 < size; at += lineLength + 2)
            std::memcpy(text + at, "\r\n", 2);
    text[size] = '\0';
    GlobalUnlock(memory);
    return memory;
}

HGLOBAL BlockOf(const void* bytes, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory) {
        std::memcpy(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
    }
    return memory;
}

bool PlaceBlock(HWND owner, UINT format, HGLOBAL memory) {
    while (!OpenClipboard(owner)) Sleep(10);
    EmptyClipboard();
    const bool placed = SetClipboardData(format, memory) != nullptr;
    CloseClipboard();
    return placed;
}

// Written by the system's encoder a band of rows at a time.
HGLOBAL PngBlock(int side) {
    const ComLibrary com;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    const UINT size = static_cast<UINT>(side), band = 100, stride = size * 4;
    std::vector<BYTE> rows(std::size_t{band} * stride);
    bool written =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(factory.put()))) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
        SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(size, size)) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat32bppBGRA;
    for (UINT top = 0; written && top < size; top += band) {
        const UINT count = std::min(band, size - top);
        for (UINT y = 0; y < count; ++y)
            for (UINT x = 0; x < size; ++x)
                for (UINT c = 0; c < 4; ++c)
                    rows[y * stride + x * 4 + c] = static_cast<BYTE>(x + (top + y) * (c + 1));
        written = SUCCEEDED(frame->WritePixels(count, stride, count * stride, rows.data()));
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

HGLOBAL DibBlock(int side, int bits) {
    const std::size_t header = bits == 32 ? sizeof(BITMAPV5HEADER) : sizeof(BITMAPINFOHEADER);
    const std::size_t stride = (static_cast<std::size_t>(side) * bits / 8 + 3) & ~std::size_t{3};
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, header + stride * side);
    if (!memory) return nullptr;
    auto* block = static_cast<unsigned char*>(GlobalLock(memory));
    BITMAPV5HEADER v5{};
    v5.bV5Size = static_cast<DWORD>(header);
    v5.bV5Width = side;
    v5.bV5Height = side;
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
    for (int y = 0; y < side; ++y) {
        unsigned char* row = block + header + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < side; ++x)
            for (int c = 0; c < bits / 8; ++c)
                row[x * bits / 8 + c] = static_cast<unsigned char>(x + y * c);
    }
    GlobalUnlock(memory);
    return memory;
}

HENHMETAFILE RectanglesMetafile(int records) {
    const RECT frame{0, 0, 10000, 10000};  // 0.01 mm units: 10 cm square
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    if (!dc) return nullptr;
    const int width = 378, height = 378;  // the frame in pixels at 96 dpi
    SelectObject(dc, GetStockObject(GRAY_BRUSH));
    for (int i = 0; i < records; ++i) Rectangle(dc, i % 7, i % 5, width, height);
    return CloseEnhMetaFile(dc);
}

}  // namespace norvane::bench
