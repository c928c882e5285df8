// The picture an animated GIF shows after each frame step, composed pixel
// by pixel from the decoded frames by this program's rules: a start all
// black and transparent, "restore to background" back to black and
// transparent, "restore to previous" to what lay under the frame, and frame
// 1 deciding transparency for the whole picture (opaque: transparent parts
// show black). The control does the same with raster operations; this is
// the slow, obvious version to hold it against.
#pragma once

#include <cstdint>
#include <vector>

#include "gif/gif_picture.h"

namespace norvane::gif::testing {

struct ComposedPixel {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool transparent = true;
    friend bool operator==(const ComposedPixel&, const ComposedPixel&) = default;
};

class ReferenceCompositor {
  public:
    explicit ReferenceCompositor(const Picture& picture);

    // Disposes of the frame shown (none at the start) and draws frame n (1-based).
    void Step(int n);
    // What the composition holds: colour and mask.
    const ComposedPixel& At(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y * width_ + x)];
    }
    // What is painted: with an opaque frame 1, transparent parts are black.
    ComposedPixel Shown(int x, int y) const;
    int Width() const { return width_; }
    int Height() const { return height_; }

  private:
    void Draw(const Frame& f);
    void Dispose(const Frame& f);

    const Picture& picture_;
    int width_, height_;
    std::vector<ComposedPixel> pixels_, saved_;
    int shown_ = 0;
};

}  // namespace norvane::gif::testing
