#include "gif_control/gif_placement.h"

#include <algorithm>
#include <cmath>

namespace norvane::gif {
namespace {

// Nearest integer, ties to even.
int Nearest(double x) {
    return static_cast<int>(std::nearbyint(x));
}

// Rounded to single precision, also where the processor keeps more (x87).
double Single(double x) {
    volatile float rounded = static_cast<float>(x);
    return rounded;
}

Rect Intersection(const Rect& a, const Rect& b) {
    const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return r.left < r.right && r.top < r.bottom ? r : Rect{};
}

}  // namespace

bool StretchActive(const Placement& p, const Sizes& s) {
    const bool differ = s.width != s.logicalWidth || s.height != s.logicalHeight;
    const bool tooBig = s.width < s.logicalWidth || s.height < s.logicalHeight;
    return (p.stretch || p.stretchRatio) && differ && (!p.stretchBigOnly || tooBig);
}

Rect ImageRect(const Placement& p, bool stretchActive, const Sizes& s) {
    const int w = s.width, h = s.height, lw = s.logicalWidth, lh = s.logicalHeight;
    if (lw == 0 || lh == 0) return {};
    const Rect client{0, 0, w, h};
    if (stretchActive) {
        if (!p.stretchRatio || p.stretch) return client;
        // The two scale factors are single precision; the margins are
        // worked out from them without rounding to single precision again.
        const double sx = Single(static_cast<double>(w) / lw);
        const double sy = Single(static_cast<double>(h) / lh);
        if (sx > sy) {
            const double margin = (w - lw * sy) / 2;
            return {Nearest(margin), 0, Nearest(w - margin), h};
        }
        const double margin = (h - lh * sx) / 2;
        return {0, Nearest(margin), w, Nearest(h - margin)};
    }
    if (p.tile) return client;
    if (p.center) {
        const int left = (w - lw) / 2, top = (h - lh) / 2;
        return {left, top, left + lw, top + lh};
    }
    return {0, 0, lw, lh};
}

bool CoversClient(bool shown, bool empty, bool firstFrameTransparent, const Rect& image, int width,
                  int height) {
    const Rect client{0, 0, width, height};
    return shown && !empty && !firstFrameTransparent && Intersection(image, client) == client;
}

Rect AreaOnControl(const Rect& image, const Rect& area, const Sizes& s, bool tile) {
    if (tile) return {0, 0, s.width, s.height};
    if (s.logicalWidth <= 0 || s.logicalHeight <= 0) return {};
    const long long iw = image.right - image.left, ih = image.bottom - image.top;
    const long long lw = s.logicalWidth, lh = s.logicalHeight;
    Rect r{image.left + static_cast<int>(area.left * iw / lw),
           image.top + static_cast<int>(area.top * ih / lh),
           image.left + static_cast<int>((area.right * iw + lw - 1) / lw),
           image.top + static_cast<int>((area.bottom * ih + lh - 1) / lh)};
    if (iw != lw || ih != lh) r = {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    return r;
}

TileGrid Tiles(const Sizes& s) {
    if (s.logicalWidth <= 0 || s.logicalHeight <= 0) return {0, 0};
    return {s.width / s.logicalWidth + 1, s.height / s.logicalHeight + 1};
}

}  // namespace norvane::gif
