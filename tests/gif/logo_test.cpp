// The About dialog's logo as the dialog's layout carries it: the "Data"
// property decodes into the animation the dialog plays, and giflib reads the
// same pixels from it, so the art script's LZW encoder writes standard GIF.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gif/giflib_file.h"
#include "gif/picture_matchers.h"
#include "gif_control/data_property.h"

namespace norvane::gif {
namespace {

constexpr std::uint8_t kLogoData[] = {
#include "about/res/logo_data.inc"
};

constexpr int kWidth = 135, kHeight = 125, kTransparent = 11;

std::vector<std::uint8_t> LogoBytes() {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(ReadDataProperty(kLogoData, bytes));
    return bytes;
}

TEST(Logo, DataPropertyHoldsTheWholeGif) {
    const auto bytes = LogoBytes();
    EXPECT_EQ(sizeof kLogoData, 13800u);
    ASSERT_EQ(bytes.size(), 13796u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 6, "GIF89a"));
    EXPECT_EQ(bytes.back(), 0x3B);  // the trailer
}

TEST(Logo, DecodesIntoTheDialogsAnimation) {
    const auto picture = testing::DecodeChecked(LogoBytes());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->version, Version::GIF89a);
    EXPECT_EQ(picture->logicalWidth, kWidth);
    EXPECT_EQ(picture->logicalHeight, kHeight);
    EXPECT_EQ(picture->loopCount, 999);
    EXPECT_EQ(picture->globalBits, 4);
    EXPECT_TRUE(picture->hasTransparency);
    ASSERT_EQ(picture->frames.size(), 8u);
    for (const Frame& f : picture->frames) {
        EXPECT_EQ(f.left, 0);
        EXPECT_EQ(f.top, 0);
        EXPECT_EQ(f.width, kWidth);
        EXPECT_EQ(f.height, kHeight);
        EXPECT_EQ(f.delay, 100);
        EXPECT_EQ(f.disposal, 2);
        EXPECT_TRUE(f.transparent);
        EXPECT_EQ(f.transparentIndex, kTransparent);
        EXPECT_FALSE(f.hasLocalTable);
        EXPECT_FALSE(f.interlaced);
        // The corners show the dialog behind the clipboard.
        EXPECT_TRUE(testing::TransparentAt(f, 0, kHeight - 1));
        EXPECT_FALSE(testing::TransparentAt(f, kWidth / 2, kHeight / 2));
    }
}

TEST(Logo, EveryFrameDiffersFromTheNextOverALargeArea) {
    const auto picture = DecodeGif(LogoBytes());
    ASSERT_TRUE(picture);
    const auto& frames = picture->frames;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Frame &a = frames[i], &b = frames[(i + 1) % frames.size()];
        int differing = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                differing += testing::PixelAt(a, x, y) != testing::PixelAt(b, x, y);
        EXPECT_GT(differing, kWidth * kHeight / 50) << "frame " << i + 1 << " to the next";
    }
}

TEST(Logo, GiflibReadsTheSamePixels) {
    const auto bytes = LogoBytes();
    const testing::GiflibFile file(bytes);
    ASSERT_NE(file.get(), nullptr);
    ASSERT_EQ(DGifSlurp(file.get()), GIF_OK);
    const auto picture = DecodeGif(bytes);
    ASSERT_TRUE(picture);
    ASSERT_EQ(file->ImageCount, 8);
    for (int i = 0; i < file->ImageCount; ++i) {
        const Frame& f = picture->frames[static_cast<std::size_t>(i)];
        const GifByteType* raster = file->SavedImages[i].RasterBits;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(testing::PixelAt(f, x, y), raster[y * kWidth + x])
                    << "frame " << i + 1 << " at " << x << "," << y;
    }
}

}  // namespace
}  // namespace norvane::gif
