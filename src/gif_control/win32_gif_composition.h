// The picture as composed so far, off-screen: each frame drawn over the
// ones before by the GIF disposal rules, with a mask of what is still
// transparent. Everything is done with raster operations on whole
// rectangles, never pixel by pixel.
#pragma once

#include <windows.h>

#include <vector>

#include "gif/gif_picture.h"
#include "ui/handles.h"

namespace norvane {

// A memory device context with one bitmap selected into it for its lifetime
// (or none: a context into which others are selected for a moment).
class MemoryCanvas {
  public:
    MemoryCanvas() = default;
    explicit MemoryCanvas(UniqueBitmap bitmap);
    MemoryCanvas(MemoryCanvas&& other) noexcept;
    MemoryCanvas& operator=(MemoryCanvas&& other) noexcept;
    ~MemoryCanvas();

    HDC dc() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    // Without its own bitmap the context draws into the default 1x1 one.
    bool HasBitmap() const { return dc_ && bitmap_; }

  private:
    void Release();
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    UniqueBitmap bitmap_;
};

// Copies `source` (width x height, the whole of it) into `target` of `dc`,
// stretching it when the sizes differ. A monochrome source maps its black
// to black and its white to white.
void StretchDrawBitmap(HDC source, int width, int height, bool monochrome, HDC dc,
                       const RECT& target, DWORD rop);

class GifComposition {
  public:
    // Makes the bitmaps of every frame, in the screen's format, and a
    // composition all black and all transparent. Throws std::runtime_error
    // when Windows cannot give the bitmaps.
    explicit GifComposition(const gif::Picture& picture);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int FrameCount() const { return static_cast<int>(frames_.size()); }
    bool HasTransparency() const { return static_cast<bool>(mask_); }

    // Black, and transparent where a mask is kept.
    void Clear();
    // Frame n (1..FrameCount) over what is there; other numbers do nothing.
    void DrawFrame(int n);
    // Undoes frame n by its disposal: 2 black and transparent, 3 what lay
    // under it before it was drawn; 0 and 1 leave it.
    void DisposeFrame(int n);
    RECT FrameRect(int n) const;

    // The composition into `target` of `dc`: copied when frame 1 is opaque
    // (transparent parts then show black), else over what `dc` holds.
    void DrawComposite(HDC dc, const RECT& target) const;

    // The composed picture and its mask (white: transparent; none without
    // transparency), for reading.
    HDC ImageDC() const { return image_.dc(); }
    HDC MaskDC() const { return mask_.dc(); }

  private:
    struct FrameBitmaps {
        RECT rect;
        bool transparent;
        int disposal;
        UniqueBitmap image, mask, savedImage, savedMask;
    };

    int width_, height_;
    bool firstFrameTransparent_ = false;
    std::vector<FrameBitmaps> frames_;
    MemoryCanvas image_, mask_;
    // Frame bitmaps are selected into these while drawn.
    MemoryCanvas colorScratch_, monoScratch_;
};

}  // namespace norvane
