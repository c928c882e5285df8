#include "inspector/picture_pixels.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "util/little_endian.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;

// A 32-bit DIB with a V5 header (BI_BITFIELDS, alpha mask `alphaMask`),
// its pixels given from the top row down.
Bytes V5Dib(int width, const std::vector<std::uint32_t>& topDown, bool storedTopDown,
            std::uint32_t alphaMask = 0xFF000000) {
    const int height = static_cast<int>(topDown.size()) / width;
    Bytes out;
    for (std::uint32_t v : {124u, static_cast<std::uint32_t>(width),
                            static_cast<std::uint32_t>(storedTopDown ? -height : height)})
        PutU32(out, v);
    PutU16(out, 1);
    PutU16(out, 32);
    for (std::uint32_t v :
         {3u, 0u, 0u, 0u, 0u, 0u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, alphaMask})
        PutU32(out, v);
    out.resize(124);
    for (int row = 0; row < height; ++row) {
        const int from = storedTopDown ? row : height - 1 - row;
        for (int x = 0; x < width; ++x)
            PutU32(out, topDown[static_cast<std::size_t>(from * width + x)]);
    }
    return out;
}

DibHeader HeaderOf(const Bytes& dib) {
    return *ReadDibHeader(dib).header;
}

TEST(PicturePixels, OnlyA32BitDibWithAnAlphaMaskHasAlpha) {
    const Bytes withAlpha = V5Dib(1, {0x80FF0000}, false);
    EXPECT_TRUE(AlphaMasksOf(HeaderOf(withAlpha), withAlpha));
    const Bytes noMask = V5Dib(1, {0x80FF0000}, false, 0);
    EXPECT_FALSE(AlphaMasksOf(HeaderOf(noMask), noMask));
    Bytes plain = withAlpha;
    plain[16] = 0;  // BI_RGB: GDI ignores the fourth byte
    EXPECT_FALSE(AlphaMasksOf(HeaderOf(plain), plain));
}

TEST(PicturePixels, BlendedOverTheCheckerboardWhereTheyLie) {
    // 9 x 1: transparent, opaque red, half-transparent red on a dark square.
    std::vector<std::uint32_t> pixels(9, 0x00000000);
    pixels[1] = 0xFFFF0000;
    pixels[8] = 0x80FF0000;
    const Bytes dib = V5Dib(9, pixels, false);
    const auto masks = *AlphaMasksOf(HeaderOf(dib), dib);
    // 255 x 128/255 + 204 x 127/255 = 230; 204 x 127/255 = 102.
    EXPECT_THAT(ComposeOverCheckerboard(HeaderOf(dib), dib, masks, 0, 0, 9, 1),
                ElementsAre(0xFFFFFF, 0xFF0000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                            0xFFFFFF, 0xE66666));
}

TEST(PicturePixels, APartOfEitherRowOrder) {
    // 2 x 3, rows from the top: 1 2 / 3 4 / 5 6 (opaque greys).
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t v = 1; v <= 6; ++v) pixels.push_back(0xFF000000 | v * 0x010101);
    for (bool topDown : {false, true}) {
        const Bytes dib = V5Dib(2, pixels, topDown);
        const auto masks = *AlphaMasksOf(HeaderOf(dib), dib);
        EXPECT_THAT(ComposeOverCheckerboard(HeaderOf(dib), dib, masks, 1, 1, 1, 2),
                    ElementsAre(0x040404, 0x060606));
    }
}

}  // namespace
}  // namespace norvane
