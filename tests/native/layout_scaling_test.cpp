#include "app/layout_scaling.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

const char kHeader[] = "198 103 W/H Mainform1";
const char kErase[] = "3 191 2 32 11 Erase_Clipboard_BitBtn";

TEST(LayoutSnapshot, LinesHaveTheirFormat) {
    EXPECT_EQ(SnapshotHeader(198, 103), kHeader);
    EXPECT_EQ(SnapshotLine({3, 191, 2, 32, 11}, "Erase_Clipboard_BitBtn"), kErase);
    EXPECT_EQ(SnapshotLine({-3, 0, 2, 32, 11}, "X"), "-3 0 2 32 11 X");
}

TEST(LayoutScaling, ReferenceSizeKeepsEverything) {
    const ScaleRatios r = RatiosFor(kHeader, 198, 103);
    EXPECT_EQ(ScaleLine(kErase, r), (ControlLayout{3, 191, 2, 32, 11}));
}

TEST(LayoutScaling, DoubleSizeDoublesEverything) {
    const ScaleRatios r = RatiosFor(kHeader, 396, 206);
    EXPECT_EQ(ScaleLine(kErase, r), (ControlLayout{6, 382, 4, 64, 22}));
}

TEST(LayoutScaling, WiderFollowsWidthAndTheSmallerRatioForFonts) {
    const ScaleRatios r = RatiosFor(kHeader, 297, 103);
    EXPECT_DOUBLE_EQ(r.width, 1.5);
    EXPECT_DOUBLE_EQ(r.font, 1.0);
    EXPECT_EQ(ScaleLine(kErase, r), (ControlLayout{4, 286, 2, 32, 11}));
}

TEST(LayoutScaling, NarrowAndTallTruncates) {
    const ScaleRatios r = RatiosFor(kHeader, 99, 206);
    EXPECT_DOUBLE_EQ(r.font, 0.5);
    EXPECT_EQ(ScaleLine(kErase, r), (ControlLayout{1, 95, 4, 64, 5}));
}

TEST(LayoutScaling, ZeroClientAreaZeroesAndNextResizeRestores) {
    EXPECT_EQ(ScaleLine(kErase, RatiosFor(kHeader, 0, 0)), (ControlLayout{0, 0, 0, 0, 0}));
    EXPECT_EQ(ScaleLine(kErase, RatiosFor(kHeader, 198, 103)), (ControlLayout{3, 191, 2, 32, 11}));
}

TEST(LayoutScaling, ProductJustBelowAWholeNumberTruncatesDown) {
    // 3 / 11 is 0.27272727272727270708... in double precision, a hair below
    // the true ratio; 55 times it is 14.99999999999999889, which is held as
    // 14.999999999999998: 14, where the true product is exactly 15.
    EXPECT_EQ(ScaleLine("55 0 0 0 0 X", RatiosFor("11 11 W/H Mainform1", 3, 3))->left, 14);
    // 7 / 10 is 0.69999999999999995559...; 90 times it is held as
    // 62.999999999999993: 62, not 63.
    EXPECT_EQ(ScaleLine("90 0 0 0 0 X", RatiosFor("10 10 W/H Mainform1", 7, 7))->left, 62);
    EXPECT_EQ(ScaleLine("0 0 0 0 0 X", RatiosFor("10 10 W/H Mainform1", 7, 7))->left, 0);
    // 0.3 and 16.53: truncation toward zero, not rounding.
    EXPECT_EQ(ScaleLine("3 0 0 0 0 X", RatiosFor("10 10 W/H Mainform1", 1, 1))->left, 0);
    EXPECT_EQ(ScaleLine("29 0 0 0 0 X", RatiosFor("100 100 W/H Mainform1", 57, 57))->left, 16);
}

TEST(LayoutScaling, NonControlLinesAreSkipped) {
    EXPECT_FALSE(ScaleLine("0", RatiosFor(kHeader, 400, 400)));
    EXPECT_FALSE(ScaleLine("", RatiosFor(kHeader, 400, 400)));
}

}  // namespace
}  // namespace norvane
