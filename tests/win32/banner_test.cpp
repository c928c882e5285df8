// The About dialog's banner: the placeable metafile in the dialog's layout
// plays, by either of Windows' two ways, into its 600 x 70 picture and
// leaves its colours where they belong.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "win32/pixels.h"

namespace {

using norvane::testing::Canvas;

constexpr std::uint8_t kBannerData[] = {
#include "about/res/banner_data.inc"
};

constexpr int kWidth = 600, kHeight = 70;
constexpr int kUnitsWide = 2300, kUnitsHigh = 225, kUnitsPerInch = 300;
constexpr std::size_t kPlaceableSize = 22;
constexpr COLORREF kUnpainted = RGB(255, 0, 255);

std::uint16_t Word(std::size_t at) {
    return static_cast<std::uint16_t>(kBannerData[at] | kBannerData[at + 1] << 8);
}

TEST(BannerFile, PlaceableHeaderNamesItsSizeAndChecksum) {
    std::uint32_t key;
    std::memcpy(&key, kBannerData, 4);
    EXPECT_EQ(key, 0x9AC6CDD7u);
    EXPECT_EQ(Word(6), 0);  // left
    EXPECT_EQ(Word(8), 0);  // top
    EXPECT_EQ(Word(10), kUnitsWide);
    EXPECT_EQ(Word(12), kUnitsHigh);
    EXPECT_EQ(Word(14), kUnitsPerInch);
    std::uint16_t checksum = 0;
    for (std::size_t at = 0; at < 20; at += 2) checksum ^= Word(at);
    EXPECT_EQ(Word(20), checksum);
}

enum class Player { EnhancedConversion, PlayMetaFile };

// The banner drawn over magenta into a 32-bit picture of the picture box's size.
class BannerPicture : public ::testing::TestWithParam<Player> {
  protected:
    void SetUp() override {
        HDC dc = canvas_.dc();
        const RECT all{0, 0, kWidth, kHeight};
        const BYTE* metafile = kBannerData + kPlaceableSize;
        const UINT size = sizeof kBannerData - kPlaceableSize;
        if (GetParam() == Player::EnhancedConversion) {
            // The size in hundredths of a millimetre, as the placeable header gives it.
            const METAFILEPICT picture{MM_ANISOTROPIC, kUnitsWide * 2540 / kUnitsPerInch,
                                       kUnitsHigh * 2540 / kUnitsPerInch, nullptr};
            HENHMETAFILE banner = SetWinMetaFileBits(size, metafile, nullptr, &picture);
            ASSERT_NE(banner, nullptr);
            EXPECT_TRUE(PlayEnhMetaFile(dc, banner, &all));
            DeleteEnhMetaFile(banner);
        } else {
            HMETAFILE banner = SetMetaFileBitsEx(size, metafile);
            ASSERT_NE(banner, nullptr);
            SetMapMode(dc, MM_ANISOTROPIC);
            SetWindowExtEx(dc, kUnitsWide, kUnitsHigh, nullptr);
            SetViewportExtEx(dc, kWidth, kHeight, nullptr);
            EXPECT_TRUE(PlayMetaFile(dc, banner));
            DeleteMetaFile(banner);
        }
    }

    COLORREF At(int x, int y) const { return canvas_.At(x, y); }
    // A point given in metafile units, as it lands in the picture.
    COLORREF AtUnits(int x, int y) const {
        return At(x * kWidth / kUnitsWide, y * kHeight / kUnitsHigh);
    }
    int Count(COLORREF colour, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += At(x, y) == colour;
        return n;
    }

    Canvas canvas_{kWidth, kHeight, kUnpainted};
};

TEST_P(BannerPicture, FillsThePictureBoxWhole) {
    EXPECT_EQ(Count(kUnpainted, 0, 0, kWidth, kHeight), 0);
}

TEST_P(BannerPicture, BandsAndEmblemKeepTheirColours) {
    EXPECT_EQ(AtUnits(1150, 6), RGB(10, 20, 64));     // top band
    EXPECT_EQ(AtUnits(1400, 150), RGB(18, 34, 96));   // navy field
    EXPECT_EQ(AtUnits(1150, 212), RGB(34, 70, 160));  // bottom band
    EXPECT_EQ(AtUnits(1352, 96), RGB(236, 188, 40));  // a gold diamond
    EXPECT_EQ(AtUnits(70, 120), RGB(166, 104, 46));   // the clipboard's board
    EXPECT_EQ(AtUnits(140, 92), RGB(255, 255, 255));  // its sheet, between lines
    EXPECT_EQ(AtUnits(110, 84), RGB(18, 34, 96));     // a written line
}

TEST_P(BannerPicture, NamesTheMakerAndTheProduct) {
    // "Varnok Software" in white on the left, "Norvane" in gold on the right.
    EXPECT_GT(Count(RGB(255, 255, 255), 70, 5, 400, 45), 300);
    EXPECT_GT(Count(RGB(236, 188, 40), 420, 5, 590, 45), 150);
}

INSTANTIATE_TEST_SUITE_P(Banner, BannerPicture,
                         ::testing::Values(Player::EnhancedConversion, Player::PlayMetaFile));

}  // namespace
