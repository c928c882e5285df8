// Decodes with the production decoder and the reference, and insists they agree.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <span>

#include "gif/gif_decoder.h"
#include "gif/reference_decoder.h"

namespace norvane::gif::testing {

inline void ExpectSamePicture(const std::optional<Picture>& a, const std::optional<Picture>& b) {
    ASSERT_EQ(a.has_value(), b.has_value());
    if (!a) return;
    EXPECT_EQ(a->version, b->version);
    EXPECT_EQ(a->logicalWidth, b->logicalWidth);
    EXPECT_EQ(a->logicalHeight, b->logicalHeight);
    EXPECT_EQ(a->loopCount, b->loopCount);
    EXPECT_EQ(a->hasTransparency, b->hasTransparency);
    EXPECT_EQ(a->globalBits, b->globalBits);
    ASSERT_EQ(a->frames.size(), b->frames.size());
    for (std::size_t i = 0; i < a->frames.size(); ++i) {
        const Frame &x = a->frames[i], &y = b->frames[i];
        SCOPED_TRACE("frame " + std::to_string(i + 1));
        EXPECT_EQ(x.left, y.left);
        EXPECT_EQ(x.top, y.top);
        EXPECT_EQ(x.width, y.width);
        EXPECT_EQ(x.height, y.height);
        EXPECT_EQ(x.localBits, y.localBits);
        EXPECT_EQ(x.delay, y.delay);
        EXPECT_EQ(x.disposal, y.disposal);
        EXPECT_EQ(x.interlaced, y.interlaced);
        EXPECT_EQ(x.transparent, y.transparent);
        EXPECT_EQ(x.transparentIndex, y.transparentIndex);
        EXPECT_EQ(x.colorCount, y.colorCount);
        EXPECT_TRUE(x.colorTable == y.colorTable);
        EXPECT_TRUE(x.pixels == y.pixels);
        EXPECT_TRUE(x.mask == y.mask);
    }
}

inline std::optional<Picture> DecodeChecked(std::span<const std::uint8_t> data,
                                            const DecodeOptions& options = {}) {
    auto picture = DecodeGif(data, options);
    ExpectSamePicture(picture, reference::Decode(data, options));
    return picture;
}

// Pixel value at image column x, row y (top-down) of a frame.
inline int PixelAt(const Frame& f, int x, int y) {
    return f.pixels[static_cast<std::size_t>(f.height - 1 - y) * PixelStride(f.width) +
                    static_cast<std::size_t>(x)];
}
inline bool TransparentAt(const Frame& f, int x, int y) {
    return (f.mask[static_cast<std::size_t>(f.height - 1 - y) * MaskStride(f.width) +
                   static_cast<std::size_t>(x / 8)] >>
            (7 - x % 8)) &
           1;
}

}  // namespace norvane::gif::testing
