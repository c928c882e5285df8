// Copies of one format's data out of the clipboard, each in the form that
// FormatData describes for its kind of handle.
#include <windows.h>

#include <cstring>
#include <span>
#include <stdexcept>
#include <string>

#include "clipboard/clipboard_picture.h"
#include "clipboard/packed_dib.h"
#include "clipboard/win32_clipboard_service.h"
#include "ui/handles.h"

namespace norvane {
namespace {

void Append(std::vector<std::uint8_t>& out, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out.insert(out.end(), bytes, bytes + size);
}

// A memory block's bytes; false when the handle is no memory block. A block
// of no bytes is discarded memory, which cannot be locked.
bool CopyMemoryBlock(HANDLE handle, std::vector<std::uint8_t>& out) {
    const LockedMemory locked(handle);
    if (!locked.get()) {
        const UINT flags = GlobalFlags(handle);
        return flags != GMEM_INVALID_HANDLE && (flags & GMEM_DISCARDED);
    }
    Append(out, locked.get(), GlobalSize(handle));
    return true;
}

// A bitmap as a packed DIB at its own depth (1, 4 and 8 bits with their
// colour table, 16 and 32 bits without masks).
bool CopyBitmapAsDib(HANDLE handle, std::vector<std::uint8_t>& out) {
    const auto bitmap = static_cast<HBITMAP>(handle);
    BITMAP info{};
    if (GetObjectType(bitmap) != OBJ_BITMAP || !GetObjectA(bitmap, sizeof info, &info))
        return false;
    WORD bits = static_cast<WORD>(info.bmBitsPixel * info.bmPlanes);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) bits = 24;
    // Counted in 64 bits: a wide or tall bitmap's rows can pass 4 GB.
    const auto sizes = PackedDibSizesOf(info.bmWidth, info.bmHeight, bits);
    if (!sizes)
        throw std::length_error("the bitmap, " + std::to_string(info.bmWidth) + " x " +
                                std::to_string(info.bmHeight) + " pixels at " +
                                std::to_string(bits) +
                                " bits per pixel, is too large to copy into memory");
    std::vector<std::uint8_t> dib(sizes->totalBytes);
    auto* header = reinterpret_cast<BITMAPINFO*>(dib.data());
    header->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header->bmiHeader.biWidth = info.bmWidth;
    header->bmiHeader.biHeight = info.bmHeight;
    header->bmiHeader.biPlanes = 1;
    header->bmiHeader.biBitCount = bits;
    header->bmiHeader.biCompression = BI_RGB;
    header->bmiHeader.biSizeImage = static_cast<DWORD>(sizes->pixelBytes);
    const WindowDC screen(nullptr);
    if (GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(info.bmHeight),
                  dib.data() + sizeof(BITMAPINFOHEADER) + sizes->colorTableBytes, header,
                  DIB_RGB_COLORS) == 0)
        return false;
    out = std::move(dib);
    return true;
}

bool CopyPalette(HANDLE handle, std::vector<std::uint8_t>& out) {
    const auto palette = static_cast<HPALETTE>(handle);
    if (GetObjectType(palette) != OBJ_PAL) return false;
    const UINT count = GetPaletteEntries(palette, 0, 0, nullptr);
    std::vector<PALETTEENTRY> entries(count);
    if (count) GetPaletteEntries(palette, 0, count, entries.data());
    const WORD header[2] = {0x300, static_cast<WORD>(count)};
    Append(out, header, sizeof header);
    Append(out, entries.data(), entries.size() * sizeof(PALETTEENTRY));
    return true;
}

// The picture's mapping mode and extents, then the metafile's bits.
bool CopyMetafilePicture(HANDLE handle, std::vector<std::uint8_t>& out) {
    const LockedMemory locked(handle);
    if (!locked.get() || GlobalSize(handle) < sizeof(METAFILEPICT)) return false;
    METAFILEPICT picture;
    std::memcpy(&picture, locked.get(), sizeof picture);
    const UINT size = GetMetaFileBitsEx(picture.hMF, 0, nullptr);
    if (size == 0) return false;
    const std::int32_t fields[3] = {static_cast<std::int32_t>(picture.mm),
                                    static_cast<std::int32_t>(picture.xExt),
                                    static_cast<std::int32_t>(picture.yExt)};
    Append(out, fields, sizeof fields);
    const std::size_t at = out.size();
    if (size > out.max_size() - at)
        throw std::length_error("the metafile is too large to copy into memory");
    out.resize(at + size);
    return GetMetaFileBitsEx(picture.hMF, size, out.data() + at) == size;
}

bool CopyEnhMetafile(HANDLE handle, std::vector<std::uint8_t>& out) {
    const auto metafile = static_cast<HENHMETAFILE>(handle);
    const UINT size = GetEnhMetaFileBits(metafile, 0, nullptr);
    if (size == 0) return false;
    out.resize(size);
    return GetEnhMetaFileBits(metafile, size, out.data()) == size;
}

// The system makes the bitmap from the DIB its owner placed by the DIB's
// header alone: a size of 0 gives the system's own 1 x 1 bitmap (which the
// clipboard deletes at its next change, leaving every new memory DC of this
// process without one), a colour table that lies, or that counts more
// colours than the pixels can index, has rows read past the block. Why such a DIB's bitmap is not
// asked for; empty when it may be.
std::string BitmapRefusal(ClipboardService& clipboard) {
    const unsigned dib = PlacedDibFormat(clipboard);
    if (dib == 0) return {};
    // A DIB not rendered gives the system nothing to make a bitmap from.
    HANDLE handle = GetClipboardData(dib);
    if (!handle) return {};
    const LockedMemory locked(handle);
    std::span<const std::uint8_t> block;
    if (locked.get()) block = {static_cast<const std::uint8_t*>(locked.get()), GlobalSize(handle)};
    const auto reading = ReadDibHeader(block);
    std::string problem = reading.problem;
    if (problem.empty() && reading.header) problem = SystemConversionProblem(*reading.header);
    return problem.empty() ? std::string() : BitmapFromDibRefusedText(dib, problem);
}

}  // namespace

std::optional<FormatData> Win32ClipboardService::CopyFormatData(unsigned format) {
    FormatData data{KindOfFormat(format), {}};
    // The owner paints this format itself: there is no handle to get.
    if (data.kind == DataKind::OwnerDisplay) return data;
    if (format == kBitmapFormat)
        if (std::string refusal = BitmapRefusal(*this); !refusal.empty())
            throw std::runtime_error(refusal);
    HANDLE handle = GetClipboardData(format);
    if (!handle) return std::nullopt;
    bool copied = false;
    switch (data.kind) {
        case DataKind::MemoryBlock:
            copied = CopyMemoryBlock(handle, data.bytes);
            break;
        case DataKind::Bitmap:
            copied = CopyBitmapAsDib(handle, data.bytes);
            break;
        case DataKind::Palette:
            copied = CopyPalette(handle, data.bytes);
            break;
        case DataKind::MetafilePicture:
            copied = CopyMetafilePicture(handle, data.bytes);
            break;
        case DataKind::EnhancedMetafile:
            copied = CopyEnhMetafile(handle, data.bytes);
            break;
        default:
            break;
    }
    // A handle that is not what its format promises is described as such.
    if (!copied) data = {DataKind::UnknownHandle, {}};
    return data;
}

}  // namespace norvane
