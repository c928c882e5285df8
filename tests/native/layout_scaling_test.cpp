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
    // 100/3 * 3 is a hair below 100 in binary floating point... or exactly 100.
    const ScaleRatios r = RatiosFor("3 3 W/H Mainform1", 1, 1);
    const int expected = static_cast<int>(300 * (1.0 / 3.0));
    EXPECT_EQ(ScaleLine("300 0 0 0 0 X", r)->left, expected);
    EXPECT_EQ(ScaleLine("0 0 0 0 0 X", RatiosFor("10 10 W/H Mainform1", 7, 7))->left, 0);
    // 0.7 * 10 = 7.000000000000001 and 0.1 * 3 * 10 sits below 3: truncation, not rounding.
    EXPECT_EQ(ScaleLine("3 0 0 0 0 X", RatiosFor("10 10 W/H Mainform1", 1, 1))->left, 0);
    EXPECT_EQ(ScaleLine("29 0 0 0 0 X", RatiosFor("100 100 W/H Mainform1", 57, 57))->left, 16);
}

TEST(LayoutScaling, NonControlLinesAreSkipped) {
    EXPECT_FALSE(ScaleLine("0", RatiosFor(kHeader, 400, 400)));
    EXPECT_FALSE(ScaleLine("", RatiosFor(kHeader, 400, 400)));
}

}  // namespace
}  // namespace norvane
