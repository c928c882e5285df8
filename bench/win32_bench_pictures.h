// Clipboard blocks the Win32 benchmarks place: memory blocks, texts, PNGs
// written by the system's encoder, DIBs, and a large enhanced metafile.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

namespace norvane::bench {

// A window of this process to own what it places on the clipboard.
HWND ClipboardOwnerWindow();
// A movable memory block holding a copy of the bytes; null on failure.
HGLOBAL BlockOf(const void* bytes, std::size_t size);
// Empties the clipboard and places `memory` as `format`, owned by `owner`.
bool PlaceBlock(HWND owner, UINT format, HGLOBAL memory);
// `size` characters of text and its terminating zero: `lead`, then letters,
// in lines of `lineLength` (CR LF after each) or on one line for 0.
HGLOBAL TextBlock(std::size_t size, std::size_t lineLength, std::string_view lead = {});
// A side x side PNG of a gradient with alpha (32 bits), as a memory block.
HGLOBAL PngBlock(int side);
// A side x side DIB of `bits` per pixel, a gradient: a V5 header with an
// alpha mask for 32 bits, else a BITMAPINFOHEADER.
HGLOBAL DibBlock(int side, int bits);
// An enhanced metafile of `records` rectangles, each filling its frame.
HENHMETAFILE RectanglesMetafile(int records);

}  // namespace norvane::bench
