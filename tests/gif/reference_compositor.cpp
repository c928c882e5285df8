#include "gif/reference_compositor.h"

namespace norvane::gif::testing {

ReferenceCompositor::ReferenceCompositor(const Picture& picture)
    : picture_(picture),
      width_(picture.logicalWidth),
      height_(picture.logicalHeight),
      pixels_(static_cast<std::size_t>(width_ * height_)) {}

void ReferenceCompositor::Step(int n) {
    if (shown_ >= 1) Dispose(picture_.frames[static_cast<std::size_t>(shown_ - 1)]);
    shown_ = n;
    Draw(picture_.frames[static_cast<std::size_t>(n - 1)]);
}

void ReferenceCompositor::Draw(const Frame& f) {
    if (f.disposal == 3) saved_ = pixels_;
    for (int y = 0; y < f.height; ++y) {
        // Rows are stored bottom-up.
        const std::size_t row = static_cast<std::size_t>(f.height - 1 - y);
        for (int x = 0; x < f.width; ++x) {
            const std::uint8_t index = f.pixels[row * PixelStride(f.width) + x];
            if (f.transparent) {
                const std::uint8_t bits = f.mask[row * MaskStride(f.width) + x / 8];
                if (bits & (0x80 >> (x % 8))) continue;
            }
            ComposedPixel& p = pixels_[static_cast<std::size_t>((f.top + y) * width_ + f.left + x)];
            // Indices beyond the bitmap's colour entries read as black.
            const bool known = index < f.colorCount;
            p = {known ? f.colorTable[3 * index] : std::uint8_t{0},
                 known ? f.colorTable[3 * index + 1] : std::uint8_t{0},
                 known ? f.colorTable[3 * index + 2] : std::uint8_t{0}, false};
        }
    }
}

void ReferenceCompositor::Dispose(const Frame& f) {
    if (f.disposal != 2 && f.disposal != 3) return;
    for (int y = f.top; y < f.top + f.height; ++y)
        for (int x = f.left; x < f.left + f.width; ++x) {
            const auto i = static_cast<std::size_t>(y * width_ + x);
            pixels_[i] = f.disposal == 2 ? ComposedPixel{} : saved_[i];
        }
}

ComposedPixel ReferenceCompositor::Shown(int x, int y) const {
    ComposedPixel p = At(x, y);
    if (!picture_.frames.front().transparent) p.transparent = false;
    return p;
}

}  // namespace norvane::gif::testing
