#include "gif_control/win32_gif_composition.h"

#include <stdexcept>
#include <utility>

namespace norvane {
namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

// A BITMAPINFO with room for 256 colour entries.
struct DibHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

DibHeader HeaderFor(const gif::Frame& frame, WORD bitsPerPixel) {
    DibHeader dib{};
    dib.header.biSize = sizeof dib.header;
    dib.header.biWidth = frame.width;
    dib.header.biHeight = frame.height;  // bottom-up rows, as decoded
    dib.header.biPlanes = 1;
    dib.header.biBitCount = bitsPerPixel;
    dib.header.biCompression = BI_RGB;
    return dib;
}

UniqueBitmap Checked(HBITMAP bitmap) {
    if (!bitmap) throw std::runtime_error("Out of system resources");
    return UniqueBitmap(bitmap);
}

// A bitmap in the screen's format, or a monochrome one.
UniqueBitmap ScreenBitmap(int width, int height) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    return Checked(bitmap);
}
UniqueBitmap MonochromeBitmap(int width, int height) {
    return Checked(CreateBitmap(width, height, 1, 1, nullptr));
}

// The decoded rows, converted once into the bitmap's own format.
UniqueBitmap WithRows(UniqueBitmap bitmap, DibHeader& dib, const std::vector<std::uint8_t>& rows) {
    HDC screen = GetDC(nullptr);
    SetDIBits(screen, bitmap.get(), 0, static_cast<UINT>(dib.header.biHeight), rows.data(),
              reinterpret_cast<BITMAPINFO*>(&dib), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

UniqueBitmap FrameImage(const gif::Frame& frame) {
    DibHeader dib = HeaderFor(frame, 8);
    dib.header.biClrUsed = static_cast<DWORD>(frame.colorCount);
    for (int i = 0; i < frame.colorCount; ++i)
        dib.colors[i] = {frame.colorTable[3 * i + 2], frame.colorTable[3 * i + 1],
                         frame.colorTable[3 * i], 0};
    return WithRows(ScreenBitmap(frame.width, frame.height), dib, frame.pixels);
}

UniqueBitmap FrameMask(const gif::Frame& frame) {
    DibHeader dib = HeaderFor(frame, 1);
    dib.header.biClrUsed = 2;
    dib.colors[0] = {0, 0, 0, 0};
    dib.colors[1] = {255, 255, 255, 0};
    return WithRows(MonochromeBitmap(frame.width, frame.height), dib, frame.mask);
}

MemoryCanvas Canvas(UniqueBitmap bitmap) {
    MemoryCanvas canvas(std::move(bitmap));
    if (!canvas) throw std::runtime_error("Out of system resources");
    return canvas;
}

// Monochrome sources map black to black and white to white on colour targets.
class MonochromeColors {
  public:
    explicit MonochromeColors(HDC dc)
        : dc_(dc), text_(SetTextColor(dc, kBlack)), back_(SetBkColor(dc, kWhite)) {}
    ~MonochromeColors() {
        SetTextColor(dc_, text_);
        SetBkColor(dc_, back_);
    }
    MonochromeColors(const MonochromeColors&) = delete;
    MonochromeColors& operator=(const MonochromeColors&) = delete;

  private:
    HDC dc_;
    COLORREF text_, back_;
};

int ColorDepth(HDC dc) {
    return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
}

}  // namespace

MemoryCanvas::MemoryCanvas(UniqueBitmap bitmap) : bitmap_(std::move(bitmap)) {
    dc_ = CreateCompatibleDC(nullptr);
    if (dc_ && bitmap_) previous_ = SelectObject(dc_, bitmap_.get());
}

MemoryCanvas::MemoryCanvas(MemoryCanvas&& other) noexcept
    : dc_(std::exchange(other.dc_, nullptr)),
      previous_(std::exchange(other.previous_, nullptr)),
      bitmap_(std::move(other.bitmap_)) {}

MemoryCanvas& MemoryCanvas::operator=(MemoryCanvas&& other) noexcept {
    if (this != &other) {
        Release();
        dc_ = std::exchange(other.dc_, nullptr);
        previous_ = std::exchange(other.previous_, nullptr);
        bitmap_ = std::move(other.bitmap_);
    }
    return *this;
}

MemoryCanvas::~MemoryCanvas() {
    Release();
}

void MemoryCanvas::Release() {
    if (!dc_) return;
    if (previous_) SelectObject(dc_, previous_);
    DeleteDC(dc_);  // the bitmap, no longer selected, goes after it
    dc_ = nullptr;
    previous_ = nullptr;
    bitmap_.reset();
}

void StretchDrawBitmap(HDC source, int width, int height, bool monochrome, HDC dc,
                       const RECT& target, DWORD rop) {
    const int targetWidth = target.right - target.left, targetHeight = target.bottom - target.top;
    MonochromeColors colors(dc);
    if (targetWidth == width && targetHeight == height) {
        BitBlt(dc, target.left, target.top, width, height, source, 0, 0, rop);
        return;
    }
    POINT brushOrigin{};
    const bool halftone = ColorDepth(dc) <= 8 && ColorDepth(source) > ColorDepth(dc);
    if (halftone) GetBrushOrgEx(dc, &brushOrigin);
    const int previousMode = SetStretchBltMode(dc, halftone     ? HALFTONE
                                                   : monochrome ? WHITEONBLACK
                                                                : COLORONCOLOR);
    if (halftone) SetBrushOrgEx(dc, brushOrigin.x, brushOrigin.y, nullptr);
    StretchBlt(dc, target.left, target.top, targetWidth, targetHeight, source, 0, 0, width, height,
               rop);
    SetStretchBltMode(dc, previousMode);
}

GifComposition::GifComposition(const gif::Picture& picture)
    : width_(picture.logicalWidth), height_(picture.logicalHeight) {
    frames_.reserve(picture.frames.size());
    for (const gif::Frame& f : picture.frames) {
        FrameBitmaps& bitmaps = frames_.emplace_back();
        bitmaps.rect = {f.left, f.top, f.left + f.width, f.top + f.height};
        bitmaps.transparent = f.transparent;
        bitmaps.disposal = f.disposal;
        bitmaps.image = FrameImage(f);
        if (f.transparent) bitmaps.mask = FrameMask(f);
        if (f.disposal == 3) {
            bitmaps.savedImage = ScreenBitmap(f.width, f.height);
            bitmaps.savedMask = MonochromeBitmap(f.width, f.height);
        }
    }
    firstFrameTransparent_ = !picture.frames.empty() && picture.frames.front().transparent;
    image_ = Canvas(ScreenBitmap(width_, height_));
    if (picture.hasTransparency) mask_ = Canvas(MonochromeBitmap(width_, height_));
    colorScratch_ = Canvas(UniqueBitmap{});
    monoScratch_ = Canvas(UniqueBitmap{});
    Clear();
}

void GifComposition::Clear() {
    PatBlt(image_.dc(), 0, 0, width_, height_, BLACKNESS);
    if (mask_) PatBlt(mask_.dc(), 0, 0, width_, height_, WHITENESS);
}

RECT GifComposition::FrameRect(int n) const {
    if (n < 1 || n > FrameCount()) return {};
    return frames_[static_cast<std::size_t>(n - 1)].rect;
}

void GifComposition::DrawFrame(int n) {
    if (n < 1 || n > FrameCount()) return;
    const FrameBitmaps& f = frames_[static_cast<std::size_t>(n - 1)];
    const RECT& r = f.rect;
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC color = colorScratch_.dc(), mono = monoScratch_.dc();
    if (f.disposal == 3) {
        // Keep what lies under the frame, for its disposal.
        if (mask_) {
            SelectedObject saved(mono, f.savedMask.get());
            BitBlt(mono, 0, 0, w, h, mask_.dc(), r.left, r.top, SRCCOPY);
        }
        SelectedObject saved(color, f.savedImage.get());
        BitBlt(color, 0, 0, w, h, image_.dc(), r.left, r.top, SRCCOPY);
    }
    SelectedObject image(color, f.image.get());
    if (f.transparent) {
        // Frame pixels where the frame is opaque, the picture before elsewhere.
        SelectedObject mask(mono, f.mask.get());
        BitBlt(mask_.dc(), r.left, r.top, w, h, mono, 0, 0, SRCAND);
        BitBlt(image_.dc(), r.left, r.top, w, h, color, 0, 0, SRCINVERT);
        StretchDrawBitmap(mono, w, h, true, image_.dc(), r, SRCAND);
        BitBlt(image_.dc(), r.left, r.top, w, h, color, 0, 0, SRCINVERT);
    } else {
        if (mask_) PatBlt(mask_.dc(), r.left, r.top, w, h, BLACKNESS);
        BitBlt(image_.dc(), r.left, r.top, w, h, color, 0, 0, SRCCOPY);
    }
}

void GifComposition::DisposeFrame(int n) {
    if (n < 1 || n > FrameCount()) return;
    const FrameBitmaps& f = frames_[static_cast<std::size_t>(n - 1)];
    const RECT& r = f.rect;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (f.disposal == 2) {
        // The background: black, and transparent. The screen's background
        // colour index is not used.
        if (mask_) PatBlt(mask_.dc(), r.left, r.top, w, h, WHITENESS);
        PatBlt(image_.dc(), r.left, r.top, w, h, BLACKNESS);
    } else if (f.disposal == 3) {
        if (mask_) {
            SelectedObject saved(monoScratch_.dc(), f.savedMask.get());
            BitBlt(mask_.dc(), r.left, r.top, w, h, monoScratch_.dc(), 0, 0, SRCCOPY);
        }
        SelectedObject saved(colorScratch_.dc(), f.savedImage.get());
        BitBlt(image_.dc(), r.left, r.top, w, h, colorScratch_.dc(), 0, 0, SRCCOPY);
    }
}

void GifComposition::DrawComposite(HDC dc, const RECT& target) const {
    if (!firstFrameTransparent_ || !mask_) {
        StretchDrawBitmap(image_.dc(), width_, height_, false, dc, target, SRCCOPY);
        return;
    }
    StretchDrawBitmap(mask_.dc(), width_, height_, true, dc, target, SRCAND);
    StretchDrawBitmap(image_.dc(), width_, height_, false, dc, target, SRCINVERT);
}

}  // namespace norvane
