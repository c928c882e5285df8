#include "inspector/encoded_picture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e/picture_samples.h"
#include "inspector/data_headers.h"
#include "inspector/gif_first_frame.h"
#include "inspector/picture_pixels.h"
#include "util/little_endian.h"

namespace norvane {
namespace {

using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(PictureCoding, TheBytesSignatureBeforeTheName) {
    EXPECT_EQ(PictureCodingOf("image/jpeg", BytesOf(testing::PngClaiming(4, 4))),
              PictureCoding::Png);
    EXPECT_EQ(PictureCodingOf("Norvane Photo", testing::kJpegSample), PictureCoding::Jpeg);
    EXPECT_EQ(PictureCodingOf("Norvane Photo", BytesOf(testing::GifSample())), PictureCoding::Gif);
    // A name that promises a picture over bytes that are none: one to decode and fail.
    EXPECT_EQ(PictureCodingOf("image/png", BytesOf("plain text")), PictureCoding::Png);
    EXPECT_EQ(PictureCodingOf("Norvane Bytes", BytesOf("plain text")), PictureCoding::None);
    // The system's own formats are not sniffed.
    EXPECT_EQ(PictureCodingOf("", BytesOf(testing::PngClaiming(4, 4))), PictureCoding::None);
}

// Each coding's decoder is given only bytes with its whole signature.
TEST(PictureCoding, TheDecoderIsTheOneTheWholeSignatureNames) {
    std::string png = testing::PngClaiming(4, 4);
    const struct {
        const char* what;
        std::string bytes;
        PictureCoding coding;
    } cases[] = {
        {"PNG", png, PictureCoding::Png},
        {"PNG, its eighth byte changed", png.substr(0, 7) + "!" + png.substr(8),
         PictureCoding::None},
        {"PNG, its first four bytes only", png.substr(0, 4), PictureCoding::None},
        {"JPEG", std::string(testing::kJpegSample.begin(), testing::kJpegSample.end()),
         PictureCoding::Jpeg},
        {"JPEG, two bytes of it", "\xFF\xD8", PictureCoding::None},
        {"GIF", testing::GifSample(), PictureCoding::Gif},
        {"GIF of an unknown version", "GIF88a" + testing::GifSample().substr(6),
         PictureCoding::None},
        {"BMP", "BM" + std::string(40, '\0'), PictureCoding::Bmp},
        {"TIFF, little-endian", std::string("II*\0", 4), PictureCoding::Tiff},
        {"TIFF, big-endian", std::string("MM\0*", 4), PictureCoding::Tiff},
        {"words", "plain text", PictureCoding::None},
    };
    for (const auto& c : cases) {
        const Bytes bytes = BytesOf(c.bytes);
        EXPECT_EQ(SignatureCoding(bytes), c.coding) << c.what;
        EXPECT_EQ(SignatureRefusal(PictureCoding::Png, bytes).empty(),
                  c.coding == PictureCoding::Png)
            << c.what;
    }
    EXPECT_EQ(SignatureRefusal(PictureCoding::Png, BytesOf("plain text")),
              "its bytes do not begin with the PNG signature");
    // A PNG's header is read only after its whole signature.
    png[7] = '!';
    EXPECT_FALSE(ClaimedSize(PictureCoding::Png, BytesOf(png)));
    // Two letters name no BMP by themselves: a name must.
    EXPECT_EQ(PictureCodingOf("Norvane Bytes", BytesOf("BM text")), PictureCoding::None);
    EXPECT_EQ(PictureCodingOf("image/bmp", BytesOf("BM text")), PictureCoding::Bmp);
}

TEST(PictureCoding, ClaimedSizesReadWithinTheBlock) {
    const Bytes png = BytesOf(testing::PngClaiming(100000, 70000));
    const auto size = ClaimedSize(PictureCoding::Png, png);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 100000u);
    EXPECT_EQ(size->height, 70000u);
    EXPECT_FALSE(ClaimedSize(PictureCoding::Png, std::span(png).first(23)));

    const auto jpeg = ClaimedSize(PictureCoding::Jpeg, testing::kJpegSample);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->width, 16u);
    EXPECT_EQ(jpeg->height, 16u);
    // Cut before its frame header's sides.
    EXPECT_FALSE(ClaimedSize(PictureCoding::Jpeg,
                             std::span(testing::kJpegSample).first(testing::kJpegFrameSize + 3)));

    const auto gif = ClaimedSize(PictureCoding::Gif, BytesOf(testing::GifSample()));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->width, 10u);
    EXPECT_EQ(gif->height, 6u);
}

TEST(PictureCoding, SizesBeyondThePreviewsLimitRefusedWhereverTheyWrap) {
    EXPECT_THAT(SizeRefusal(100000, 100000),
                HasSubstr("claims 100000 x 100000 pixels, more than the preview decodes"));
    // 2^32 pixels: zero in 32 bits.
    EXPECT_THAT(SizeRefusal(65536, 65536), HasSubstr("more than the preview decodes"));
    // 2^64 + 2^32 pixels: past 64 bits.
    EXPECT_THAT(SizeRefusal(0xFFFFFFFFull + 2, 0xFFFFFFFFull + 2),
                HasSubstr("more than the preview decodes"));
    EXPECT_EQ(SizeRefusal(8192, 8192), "");  // 64 M pixels
    EXPECT_NE(SizeRefusal(8192, 8193), "");
    EXPECT_THAT(SizeRefusal(0, 5), HasSubstr("a size of 0 x 5 pixels"));
}

TEST(GifFirstFrame, PlacedOnItsScreenItsTransparencyClear) {
    const Bytes gif = BytesOf(testing::GifSample());
    const DecodedPicture picture = DecodeGifFirstFrame(gif);
    ASSERT_EQ(picture.failure, "");
    EXPECT_EQ(picture.width, 10u);
    EXPECT_EQ(picture.height, 6u);
    EXPECT_EQ(picture.bitsPerPixel, 2u);
    // The DIB reads as the preview reads any DIB with alpha.
    const auto reading = ReadDibHeader(picture.dib);
    ASSERT_TRUE(reading.header);
    EXPECT_EQ(reading.problem, "");
    EXPECT_EQ(reading.header->height, -6);
    EXPECT_TRUE(AlphaMasksOf(*reading.header, picture.dib));
    const auto pixel = [&](int x, int y) {
        return ReadU32(picture.dib,
                       kAlphaDibHeaderBytes + static_cast<std::size_t>(y * 10 + x) * 4);
    };
    EXPECT_EQ(pixel(0, 0), 0u);  // the screen the frame leaves uncovered
    EXPECT_EQ(pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(pixel(4, 4), 0xFFFF0000u);
    EXPECT_EQ(pixel(5, 1), 0u);  // the transparent index
    EXPECT_EQ(pixel(9, 5), 0u);
}

TEST(GifFirstFrame, NoMorePixelsDecodedThanAskedFor) {
    const Bytes gif = BytesOf(testing::GifSample());  // a 10 x 6 screen, its frame within
    EXPECT_EQ(DecodeGifFirstFrame(gif, 60).failure, "");
    const DecodedPicture picture = DecodeGifFirstFrame(gif, 59);
    EXPECT_TRUE(picture.dib.empty());
    EXPECT_NE(picture.failure, "");
}

TEST(GifFirstFrame, AStreamWithNoImageSaysSo) {
    const Bytes gif = BytesOf(testing::GifSample());
    const DecodedPicture picture = DecodeGifFirstFrame(std::span(gif).first(40));
    EXPECT_TRUE(picture.dib.empty());
    EXPECT_EQ(DecodedPictureLine(PictureCoding::Gif, picture),
              "\r\nThe picture could not be decoded: the GIF decoder found no image in it.");
}

}  // namespace
}  // namespace norvane
