// A memory device context on a 32-bit top-down bitmap whose pixels the
// tests read directly.
#pragma once

#include <windows.h>

#include <cstdint>

namespace norvane::testing {

class Canvas {
  public:
    Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<std::uint32_t*>(bits);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Fill(COLORREF color) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) bits_[i] = Pixel(color);
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const std::uint32_t p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

  private:
    static std::uint32_t Pixel(COLORREF c) {
        return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) |
               GetBValue(c);
    }
    int width_, height_;
    HBITMAP bitmap_;
    std::uint32_t* bits_ = nullptr;
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace norvane::testing
