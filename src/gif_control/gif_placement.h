// Where an animated picture lies in its control: the placements (top-left,
// centred, stretched, stretched keeping the aspect ratio, stretched only when
// too large, tiled) and whether the picture hides the control's whole area.
#pragma once

namespace norvane::gif {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Placement {
    bool center = false;
    bool stretch = false;
    bool stretchRatio = false;
    bool stretchBigOnly = false;
    bool tile = false;
};

// The control's size and the picture's logical size.
struct Sizes {
    int width, height;                // the control
    int logicalWidth, logicalHeight;  // the picture
};

// Stretching applies: Stretch or StretchRatio is set, the sizes differ, and
// with StretchBigOnly the picture is larger than the control in at least
// one direction.
bool StretchActive(const Placement& placement, const Sizes& sizes);

// The picture's rectangle in the control's coordinates; empty for a picture
// of no size. StretchRatio alone keeps the aspect ratio, its margins rounded
// half to even.
Rect ImageRect(const Placement& placement, bool stretchActive, const Sizes& sizes);

// The picture is shown, loaded, its first frame opaque, and its rectangle
// covers the whole control: then nothing behind the control needs painting.
bool CoversClient(bool shown, bool empty, bool firstFrameTransparent, const Rect& image, int width,
                  int height);

// Where a rectangle of the picture (a frame's) shows on the control, given
// the picture's rectangle there: scaled with it, a pixel wider each way when
// stretched; tiled, the whole control.
Rect AreaOnControl(const Rect& image, const Rect& pictureArea, const Sizes& sizes, bool tile);

// Tiles drawn to fill the control: whole ones and the ones cut at its edges.
struct TileGrid {
    int columns, rows;
};
TileGrid Tiles(const Sizes& sizes);

}  // namespace norvane::gif
