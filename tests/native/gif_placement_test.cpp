// Where the animated picture lies in its control, and when it hides the
// control's whole area.
#include "gif_control/gif_placement.h"

#include <gtest/gtest.h>

namespace norvane::gif {
namespace {

Rect Place(const Placement& p, Sizes s) {
    return ImageRect(p, StretchActive(p, s), s);
}

TEST(ImageRect, StretchRatioKeepsTheAspectRatioRoundingHalvesToEven) {
    const Placement ratio{.stretchRatio = true};
    EXPECT_EQ(Place(ratio, {173, 165, 135, 125}), (Rect{0, 2, 173, 163}));
    EXPECT_EQ(Place(ratio, {100, 100, 40, 30}), (Rect{0, 12, 100, 88}));  // 12.5 and 87.5
    // Wider than the picture's ratio: margins left and right.
    EXPECT_EQ(Place(ratio, {100, 30, 40, 30}), (Rect{30, 0, 70, 30}));
    // Only the scale factors are single precision. 10 / 50 is 0.2 there,
    // 0.20000000298...; 95 x 0.20000000298 = 19.00000028, so the margin is
    // (150 - 19.00000028) / 2 = 65.49999986, not a half: 65, and
    // 150 - 65.49999986 = 84.50000014: 85.
    EXPECT_EQ(Place(ratio, {150, 10, 95, 50}), (Rect{65, 0, 85, 10}));
    EXPECT_EQ(Place(ratio, {10, 150, 50, 95}), (Rect{0, 65, 10, 85}));
    // 15 x 0.20000000298 = 3.00000004: (10 - 3.00000004) / 2 = 3.49999998
    // gives 3, and 10 - 3.49999998 = 6.50000002 gives 7.
    EXPECT_EQ(Place(ratio, {10, 2, 15, 10}), (Rect{3, 0, 7, 2}));
    EXPECT_EQ(Place(ratio, {2, 10, 10, 15}), (Rect{0, 3, 2, 7}));
    // Stretch wins over the ratio.
    EXPECT_EQ(Place({.stretch = true, .stretchRatio = true}, {100, 100, 40, 30}),
              (Rect{0, 0, 100, 100}));
    EXPECT_EQ(Place({.stretch = true}, {173, 165, 135, 125}), (Rect{0, 0, 173, 165}));
}

TEST(ImageRect, StretchBigOnlyScalesOnlyAPictureLargerThanTheControl) {
    const Placement big{.stretch = true, .stretchBigOnly = true};
    EXPECT_FALSE(StretchActive(big, {200, 200, 135, 125}));
    EXPECT_EQ(Place(big, {200, 200, 135, 125}), (Rect{0, 0, 135, 125}));
    EXPECT_TRUE(StretchActive(big, {100, 200, 135, 125}));  // narrower than the picture
    EXPECT_EQ(Place(big, {100, 200, 135, 125}), (Rect{0, 0, 100, 200}));
    // Equal sizes never stretch; neither flag, no stretching.
    EXPECT_FALSE(StretchActive({.stretch = true}, {135, 125, 135, 125}));
    EXPECT_FALSE(StretchActive({.center = true}, {100, 100, 135, 125}));
}

TEST(ImageRect, CenterTileAndTopLeft) {
    // Truncated toward zero: (100 - 135) / 2 = -17.
    EXPECT_EQ(Place({.center = true}, {100, 100, 135, 125}), (Rect{-17, -12, 118, 113}));
    EXPECT_EQ(Place({.center = true}, {105, 105, 40, 30}), (Rect{32, 37, 72, 67}));
    EXPECT_EQ(Place({.center = true, .tile = true}, {105, 105, 40, 30}), (Rect{0, 0, 105, 105}));
    EXPECT_EQ(Place({}, {105, 105, 40, 30}), (Rect{0, 0, 40, 30}));
    EXPECT_EQ(Place({.stretch = true}, {105, 105, 0, 30}), (Rect{}));  // nothing loaded
}

TEST(AreaOnControl, FollowsThePlacementOfThePicture) {
    const Sizes s{100, 100, 40, 30};
    // Unscaled, centred: moved only.
    EXPECT_EQ(AreaOnControl({30, 35, 70, 65}, {5, 6, 15, 16}, s, false), (Rect{35, 41, 45, 51}));
    // Stretched 2.5 x 3.333: scaled outward, and a pixel more each way.
    EXPECT_EQ(AreaOnControl({0, 0, 100, 100}, {5, 6, 15, 16}, s, false), (Rect{11, 19, 39, 55}));
    EXPECT_EQ(AreaOnControl({0, 0, 100, 100}, {0, 0, 40, 30}, s, false), (Rect{-1, -1, 101, 101}));
    // Tiled: every tile shows it.
    EXPECT_EQ(AreaOnControl({0, 0, 100, 100}, {5, 6, 15, 16}, s, true), (Rect{0, 0, 100, 100}));
}

TEST(Tiles, CoverTheControlWithTheLastOnesCut) {
    const TileGrid grid = Tiles({105, 105, 40, 30});
    EXPECT_EQ(grid.columns, 3);                     // columns 0 to 2
    EXPECT_EQ(grid.rows, 4);                        // rows 0 to 3
    EXPECT_EQ(Tiles({80, 60, 40, 30}).columns, 3);  // an extra one fully outside, as drawn
    EXPECT_EQ(Tiles({80, 60, 0, 0}).columns, 0);
}

TEST(CoversClient, OnlyAShownOpaquePictureOverTheWholeControl) {
    const Rect whole{0, 0, 100, 80};
    EXPECT_TRUE(CoversClient(true, false, false, whole, 100, 80));
    EXPECT_TRUE(CoversClient(true, false, false, {-17, -12, 118, 113}, 100, 80));
    EXPECT_FALSE(CoversClient(false, false, false, whole, 100, 80));  // hidden
    EXPECT_FALSE(CoversClient(true, true, false, whole, 100, 80));    // empty
    EXPECT_FALSE(CoversClient(true, false, true, whole, 100, 80));    // frame 1 transparent
    EXPECT_FALSE(CoversClient(true, false, false, {0, 2, 100, 78}, 100, 80));
}

}  // namespace
}  // namespace norvane::gif
