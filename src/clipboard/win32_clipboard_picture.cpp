#include "clipboard/win32_clipboard_picture.h"

#include <exception>

#include "clipboard/clipboard_picture.h"
#include "clipboard/packed_dib.h"

namespace norvane {

BITMAPINFOHEADER TopDown32Header(int width, int height) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    return info;
}

UniqueBitmap BitmapFromPackedDib(std::span<const std::uint8_t> dib) {
    const auto reading = ReadDibHeader(dib);
    if (!reading.header || !reading.problem.empty()) return {};
    const DibHeader& h = *reading.header;
    // Sizes a DIB's 32-bit fields and this process can hold, and no more
    // pixels than the preview's: run lengths of a few bytes can claim a
    // picture of gigabytes.
    if (!PackedDibSizesOf(h.width, h.height, 32) ||
        static_cast<std::uint64_t>(h.width) * DibRowCount(h.height) > kMostPreviewPixels)
        return {};
    const int width = h.width, height = static_cast<int>(DibRowCount(h.height));
    const BITMAPINFOHEADER info = TopDown32Header(width, height);
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                         DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDC memory(CreateCompatibleDC(nullptr));
    if (!bitmap || !memory) return {};
    SelectedObject selected(memory.get(), bitmap.get());
    // Whatever its depth, colour table, masks or run lengths: the system
    // draws them, within the block the reading checked.
    if (SetDIBitsToDevice(memory.get(), 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height),
                          0, 0, 0, static_cast<UINT>(height), dib.data() + h.BitsOffset(),
                          reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS) == 0)
        return {};
    return bitmap;
}

UniqueBitmap CopyClipboardPicture(ClipboardService& clipboard) {
    const unsigned dib = PlacedDibFormat(clipboard);
    if (dib == 0) return UniqueBitmap(clipboard.CopyBitmap());
    std::optional<FormatData> data;
    try {
        data = clipboard.CopyFormatData(dib);
    } catch (const std::exception&) {
        return {};  // too large to copy: not got
    }
    if (!data || data->kind != DataKind::MemoryBlock) return {};
    return BitmapFromPackedDib(data->bytes);
}

}  // namespace norvane
