// Clipboard blocks the Win32 benchmarks place: memory blocks, PNGs written
// by the system's encoder, DIBs, and a large enhanced metafile.
#pragma once

#include <windows.h>

#include <cstddef>

namespace norvane::bench {

// A movable memory block holding a copy of the bytes; null on failure.
HGLOBAL BlockOf(const void* bytes, std::size_t size);
// Empties the clipboard and places `memory` as `format`, owned by `owner`.
bool PlaceBlock(HWND owner, UINT format, HGLOBAL memory);
// A side x side PNG of a gradient with alpha (32 bits), as a memory block.
HGLOBAL PngBlock(int side);
// A side x side DIB of `bits` per pixel, a gradient: a V5 header with an
// alpha mask for 32 bits, else a BITMAPINFOHEADER.
HGLOBAL DibBlock(int side, int bits);
// An enhanced metafile of `records` rectangles, each filling its frame.
HENHMETAFILE RectanglesMetafile(int records);

}  // namespace norvane::bench
