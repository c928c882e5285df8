// The viewer's picture of the clipboard, made from its DIB.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "clipboard/clipboard_service.h"
#include "ui/handles.h"

namespace norvane {

// A 32-bit DIB header of rows from the top down.
BITMAPINFOHEADER TopDown32Header(int width, int height);

// A 32-bit bitmap of a packed DIB's picture, drawn by the system from the
// DIB once ReadDibHeader finds it whole; null when it is not, or the
// picture cannot be made (more than kMostPreviewPixels, rows the system
// cannot draw).
UniqueBitmap BitmapFromPackedDib(std::span<const std::uint8_t> dib);

// With the clipboard open: the viewer's own picture of it, made from the
// DIB its owner placed, or, when it offers no DIB, the system's bitmap
// copied. Null when the data cannot be got or the DIB is not whole.
UniqueBitmap CopyClipboardPicture(ClipboardService& clipboard);

}  // namespace norvane
