#include <gtest/gtest.h>

#include <numeric>

#include "gif/bmp_file.h"
#include "gif/gif_builder.h"
#include "gif/picture_matchers.h"
#include "gif_control/data_property.h"

namespace norvane::gif {
namespace {

using testing::DecodeChecked;
using testing::GifBuilder;
using testing::PixelAt;
using testing::TransparentAt;
using Image = GifBuilder::Image;

std::vector<int> Ramp(int count, int modulo = 4) {
    std::vector<int> pixels(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) pixels[static_cast<std::size_t>(i)] = i % modulo;
    return pixels;
}

TEST(GifDecoder, DecodesRowsBottomUpAndPadded) {
    GifBuilder gif("GIF89a", 5, 3);
    gif.ImageFromPixels({.width = 5, .height = 3}, Ramp(15)).Trailer();
    const auto picture = DecodeChecked(gif.Bytes());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->version, Version::GIF89a);
    EXPECT_EQ(picture->loopCount, 1);
    EXPECT_FALSE(picture->hasTransparency);
    const Frame& f = picture->frames.at(0);
    EXPECT_EQ(f.pixels.size(), 8u * 3);
    EXPECT_EQ(f.colorCount, 4);
    EXPECT_TRUE(f.mask.empty());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(f, x, y), (y * 5 + x) % 4);
    EXPECT_EQ(f.pixels[5], 0);  // padding: the top image row is the last DIB row
}

TEST(GifDecoder, SignatureAndVersion) {
    auto load = [](const char* signature) {
        GifBuilder gif(signature);
        gif.ImageFromPixels({}, Ramp(16)).Trailer();
        return DecodeChecked(gif.Bytes());
    };
    EXPECT_EQ(load("GIF87a")->version, Version::GIF87a);
    EXPECT_EQ(load("GIF89a")->version, Version::GIF89a);
    EXPECT_EQ(load("GIFxyz")->version, Version::GIF87a);
    EXPECT_EQ(load("GIF\0\0\0")->version, Version::GIF87a);
    EXPECT_FALSE(load("GIG89a"));
}

TEST(GifDecoder, CutShortBeforeTheFirstImageFails) {
    GifBuilder gif;
    gif.ImageFromPixels({}, Ramp(16)).Trailer();
    const auto& bytes = gif.Bytes();
    EXPECT_FALSE(DecodeChecked({}));
    for (std::size_t cut : {3u, 6u, 12u, 13u, 20u, 24u})  // header, screen, colour table
        EXPECT_FALSE(DecodeChecked(std::span(bytes).first(cut))) << cut;
    GifBuilder noImage;
    noImage.Comment("nothing").Trailer();
    EXPECT_FALSE(DecodeChecked(noImage.Bytes()));
}

TEST(GifDecoder, ZeroSizeImageFailsEvenAfterGoodFrames) {
    GifBuilder gif;
    gif.ImageFromPixels({}, Ramp(16)).ImageFromPixels({.width = 0, .height = 4}, {}).Trailer();
    EXPECT_FALSE(DecodeChecked(gif.Bytes()));
}

TEST(GifDecoder, OversizedOrCutDescriptorDropsTheFrameKeepsTheOthers) {
    GifBuilder gif;
    gif.ImageFromPixels({}, Ramp(16)).ImageFromPixels({.width = 16385, .height = 1}, {1}).Trailer();
    auto picture = DecodeChecked(gif.Bytes());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->frames.size(), 1u);

    GifBuilder first;
    first.ImageFromPixels({.width = 1, .height = 16385}, {1}).Trailer();
    EXPECT_FALSE(DecodeChecked(first.Bytes()));

    GifBuilder cut;
    cut.ImageFromPixels({}, Ramp(16)).Raw({0x2C, 0, 0, 0});
    picture = DecodeChecked(cut.Bytes());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->frames.size(), 1u);
}

TEST(GifDecoder, GraphicControlAppliesToTheNextImageOnly) {
    GifBuilder gif;
    gif.GraphicControl(1, 5, false, 0)
        .GraphicControl(3, 7, true, 2)  // the later one wins
        .ImageFromPixels({}, Ramp(16))
        .ImageFromPixels({}, Ramp(16))
        .GraphicControl(6, 1, false, 0)  // 4 to 7 mean 2
        .ImageFromPixels({}, Ramp(16))
        .Trailer();
    const auto picture = DecodeChecked(gif.Bytes());
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->frames.size(), 3u);
    const Frame &a = picture->frames[0], &b = picture->frames[1], &c = picture->frames[2];
    EXPECT_EQ(a.disposal, 3);
    EXPECT_EQ(a.delay, 70);
    EXPECT_TRUE(a.transparent);
    EXPECT_EQ(a.transparentIndex, 2);
    EXPECT_EQ(b.disposal, 0);
    EXPECT_EQ(b.delay, 0);
    EXPECT_FALSE(b.transparent);
    EXPECT_EQ(c.disposal, 2);
    EXPECT_TRUE(picture->hasTransparency);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(TransparentAt(a, x, y), (y * 4 + x) % 4 == 2);
}

TEST(GifDecoder, LoopCountsAndOtherApplicationBlocks) {
    auto loops = [](auto&& build) {
        GifBuilder gif;
        build(gif);
        gif.ImageFromPixels({}, Ramp(16)).Trailer();
        return DecodeChecked(gif.Bytes())->loopCount;
    };
    EXPECT_EQ(loops([](GifBuilder& g) { g.Netscape(0); }), 0);
    EXPECT_EQ(loops([](GifBuilder& g) { g.Netscape(999); }), 999);
    EXPECT_EQ(loops([](GifBuilder&) {}), 1);
    EXPECT_EQ(loops([](GifBuilder& g) { g.Application("XMP DataXMP", {1, 2, 3, 4}); }), 1);
    EXPECT_EQ(loops([](GifBuilder& g) {
                  g.Comment("hi").Application("ANIMEXTS1.0", {1, 5, 0});
              }),
              1);
}

TEST(GifDecoder, UnknownExtensionIsWalkedTwoBytesAtATime) {
    GifBuilder gif;
    // An unknown label: its "sub-blocks" are not skipped; the bytes behind
    // the label are scanned in pairs, and a pair that starts with '!' opens
    // the next extension.
    gif.Raw({0x21, 0x77, 3, 0x00, 0x00, 0x00}).Netscape(7).ImageFromPixels({}, Ramp(16)).Trailer();
    const auto picture = DecodeChecked(gif.Bytes());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->loopCount, 7);  // skipping "sub-blocks" would have jumped over it
    EXPECT_EQ(picture->frames.size(), 1u);
}

TEST(GifDecoder, InterlacedImagesOfEveryHeightFillEveryRow) {
    for (int height = 1; height <= 9; ++height) {
        SCOPED_TRACE(height);
        // Row r gets value r in data order; data order is the interlace order.
        std::vector<int> order;
        for (int r = 0; r < height; r += 8) order.push_back(r);
        for (int r = 4; r < height; r += 8) order.push_back(r);
        for (int r = 2; r < height; r += 4) order.push_back(r);
        for (int r = 1; r < height; r += 2) order.push_back(r);
        ASSERT_EQ(order.size(), static_cast<std::size_t>(height));
        std::vector<int> pixels;
        for (int r : order) pixels.insert(pixels.end(), 3, r);
        GifBuilder gif("GIF89a", 3, height, 4);
        gif.ImageFromPixels({.width = 3, .height = height, .interlaced = true, .minCodeSize = 4},
                            pixels)
            .Trailer();
        const auto picture = DecodeChecked(gif.Bytes());
        ASSERT_TRUE(picture);
        for (int y = 0; y < height; ++y) EXPECT_EQ(PixelAt(picture->frames[0], 1, y), y);
        if (height == 9) {
            EXPECT_EQ(order, (std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7}));
        }
    }
}

TEST(GifDecoder, ColourCountFollowsTheLargestTableSoFar) {
    GifBuilder gif("GIF89a", 4, 4, 4);
    gif.ImageFromPixels({.localBits = 8, .minCodeSize = 8}, Ramp(16))
        .ImageFromPixels({.minCodeSize = 4}, Ramp(16))
        .Trailer();
    const auto picture = DecodeChecked(gif.Bytes());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->frames[0].colorCount, 256);
    EXPECT_EQ(picture->frames[0].localBits, 8);
    EXPECT_TRUE(picture->frames[0].hasLocalTable);
    EXPECT_EQ(picture->frames[1].colorCount, 256);  // 2^8, though the global table has 16
    EXPECT_EQ(picture->frames[1].colorTable[3 * 15 + 2], static_cast<std::uint8_t>(15 * 30));
    EXPECT_EQ(picture->frames[1].colorTable[3 * 16], 0);  // beyond the 16 entries read
    EXPECT_EQ(picture->globalBits, 8);
}

TEST(GifDecoder, LogicalSizeGrowsToCoverEveryFrame) {
    GifBuilder gif("GIF89a", 4, 4);
    gif.ImageFromPixels({.left = 10, .top = 2, .width = 2, .height = 3}, Ramp(6)).Trailer();
    const auto picture = DecodeChecked(gif.Bytes());
    EXPECT_EQ(picture->logicalWidth, 12);
    EXPECT_EQ(picture->logicalHeight, 5);
}

TEST(GifDecoder, FirstImageOnlyAndFrameLimit) {
    GifBuilder gif;
    for (int i = 0; i < 260; ++i) gif.ImageFromPixels({.width = 1, .height = 1}, {i % 4});
    gif.Trailer();
    auto picture = DecodeChecked(gif.Bytes());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->frames.size(), 256u);
    EXPECT_EQ(PixelAt(picture->frames[255], 0, 0), 255 % 4);
    DecodeOptions firstOnly;
    firstOnly.firstImageOnly = true;
    picture = DecodeChecked(gif.Bytes(), firstOnly);
    EXPECT_EQ(picture->frames.size(), 1u);
}

TEST(GifDecoder, ClearFirstKwKwKAndTinyBlocks) {
    // m = 2: clear 4, end 5. Codes: clear, clear, 1, 6 (KwKwK: "1 1"), 7 ("1 1 1"), 2, end.
    for (int blockSize : {1, 2, 3, 255}) {
        SCOPED_TRACE(blockSize);
        GifBuilder gif("GIF89a", 8, 1);
        gif.ImageFromCodes({.width = 8, .height = 1, .blockSize = blockSize}, {4, 4, 1, 6, 7, 2, 5})
            .Trailer();
        const auto picture = DecodeChecked(gif.Bytes());
        ASSERT_TRUE(picture);
        std::vector<int> row;
        for (int x = 0; x < 8; ++x) row.push_back(PixelAt(picture->frames[0], x, 0));
        EXPECT_EQ(row, (std::vector<int>{1, 1, 1, 1, 1, 1, 2, 0}));
    }
}

// m = 2 goes through the whole-string path, m = 9 through the one-value path.
std::vector<int> FirstRow(const std::vector<std::uint8_t>& bytes, int width) {
    const auto picture = DecodeChecked(bytes);
    std::vector<int> row;
    if (!picture) return row;
    for (int x = 0; x < width; ++x) row.push_back(PixelAt(picture->frames[0], x, 0));
    return row;
}

TEST(GifDecoder, ClearCodesRightBehindAClearAreClears) {
    for (int m : {2, 9}) {
        const int clear = 1 << m, end = clear + 1;
        for (int blockSize : {1, 255}) {
            SCOPED_TRACE(::testing::Message() << "m " << m << ", block " << blockSize);
            GifBuilder gif("GIF89a", 4, 1, 8);
            gif.ImageFromCodes({.width = 4, .height = 1, .minCodeSize = m, .blockSize = blockSize},
                               {clear, 1, clear, clear, 2, 3, 1, end})
                .Trailer();
            EXPECT_EQ(FirstRow(gif.Bytes(), 4), (std::vector<int>{1, 2, 3, 1}));
        }
    }
}

TEST(GifDecoder, CodeEndingOnTheLastBitOfTheDataIsDecoded) {
    // No end code: m = 2 packs clear 1 2 3 1 into exactly 16 bits (the last
    // code has 4), m = 9 packs clear 1 2 3 into exactly 40.
    const struct {
        int m;
        std::vector<int> codes, row;
        std::size_t bytes;
    } cases[] = {{2, {4, 1, 2, 3, 1}, {1, 2, 3, 1}, 2}, {9, {512, 1, 2, 3}, {1, 2, 3, 0}, 5}};
    for (const auto& c : cases) {
        ASSERT_EQ(testing::PackCodes(c.m, c.codes).size(), c.bytes);
        for (int blockSize : {1, 2, 255}) {
            SCOPED_TRACE(::testing::Message() << "m " << c.m << ", block " << blockSize);
            GifBuilder gif("GIF89a", 4, 1, 8);
            gif.ImageFromCodes(
                   {.width = 4, .height = 1, .minCodeSize = c.m, .blockSize = blockSize}, c.codes)
                .Trailer();
            EXPECT_EQ(FirstRow(gif.Bytes(), 4), c.row);
        }
    }
}

TEST(GifDecoder, CodesSpanningSeveralOneByteSubBlocks) {
    // 9- to 12-bit codes in sub-blocks of one byte, through both paths.
    std::vector<int> pixels(40 * 40);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<int>(i * 7 % 251 ^ i / 97);
    for (int m : {8, 9}) {
        SCOPED_TRACE(m);
        GifBuilder gif("GIF89a", 40, 40, 8);
        gif.ImageFromLzw({.width = 40, .height = 40, .minCodeSize = m, .blockSize = 1}, pixels, {})
            .Trailer();
        const auto picture = DecodeChecked(gif.Bytes());
        ASSERT_TRUE(picture);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            ASSERT_EQ(
                PixelAt(picture->frames[0], static_cast<int>(i % 40), static_cast<int>(i / 40)),
                pixels[i])
                << i;
    }
}

TEST(GifDecoder, CodesBehindTheLastPixelAreReadOnAsBefore) {
    // The frame fills after four pixels; the table codes, the code beyond
    // the table and the clear code behind it are still interpreted, and the
    // next frame is found behind the data.
    for (int m : {2, 8, 9}) {
        SCOPED_TRACE(m);
        const int clear = 1 << m, end = clear + 1, first = clear + 2;
        for (const std::vector<int>& tail :
             {std::vector<int>{first, first + 1, first + 2, end},
              std::vector<int>{first + 3, first + 200, clear, 3, first, end}, std::vector<int>{}}) {
            std::vector<int> codes{clear, 1, 2, 3, 1};
            codes.insert(codes.end(), tail.begin(), tail.end());
            GifBuilder gif("GIF89a", 4, 1, 8);
            gif.GraphicControl(0, 0, true, 2)
                .ImageFromCodes({.width = 4, .height = 1, .minCodeSize = m}, codes)
                .ImageFromPixels({.width = 4, .height = 1, .interlaced = true}, Ramp(4))
                .Trailer();
            const auto picture = DecodeChecked(gif.Bytes());
            ASSERT_TRUE(picture);
            EXPECT_EQ(picture->frames.size(), 2u);
        }
    }
}

TEST(GifDecoder, BrokenTableBehindTheLastPixelStopsTheDataThere) {
    // Behind the four pixels, code X (two past the next free entry) four
    // times: the third makes entry X its own prefix, the fourth finds that
    // loop. The data ends there, inside its first sub-block; the scan walks
    // on from the next one, whose ";" ends the picture before the second image.
    for (int m : {2, 8, 9}) {
        SCOPED_TRACE(m);
        const int clear = 1 << m, x = clear + 7;
        const auto packed = testing::PackCodes(m, {clear, 1, 2, 3, 1, x, x, x, x});
        GifBuilder gif("GIF89a", 4, 1, 8);
        gif.Raw({0x2C, 0, 0, 0, 0, 4, 0, 1, 0, 0, static_cast<std::uint8_t>(m),
                 static_cast<std::uint8_t>(packed.size())})
            .Raw(packed)
            .Raw({2, 0x3B, 0x3B, 0})
            .ImageFromPixels({.width = 4, .height = 1}, Ramp(4))
            .Trailer();
        const auto picture = DecodeChecked(gif.Bytes());
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->frames.size(), 1u);
        EXPECT_EQ(FirstRow(gif.Bytes(), 4), (std::vector<int>{1, 2, 3, 1}));
    }
}

TEST(GifDecoder, LongStringsAcrossInterlacedRows) {
    // A few colours in long runs: strings cross row ends and later codes
    // copy them from rows the interlacing put far apart.
    std::vector<int> pixels(37 * 29);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<int>(i / 50 % 3);
    for (bool interlaced : {false, true}) {
        GifBuilder gif("GIF89a", 37, 29, 2);
        gif.GraphicControl(0, 0, true, 1)
            .ImageFromLzw({.width = 37, .height = 29, .interlaced = interlaced}, pixels, {})
            .Trailer();
        const auto picture = DecodeChecked(gif.Bytes());
        ASSERT_TRUE(picture);
        // Image rows in the order the data holds them.
        std::vector<int> rows;
        for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
            for (int y = start; y < 29; y += step)
                if (interlaced) rows.push_back(y);
        if (!interlaced) rows = Ramp(29, 29);
        for (std::size_t k = 0; k < rows.size(); ++k)
            for (int x = 0; x < 37; ++x) {
                const int value = pixels[k * 37 + static_cast<std::size_t>(x)];
                ASSERT_EQ(PixelAt(picture->frames[0], x, rows[k]), value);
                ASSERT_EQ(TransparentAt(picture->frames[0], x, rows[k]), value == 1);
            }
    }
}

TEST(GifDecoder, DataCutShortLeavesTheRestTransparent) {
    // clear, 1, 2 fill 9 bits of two bytes; the padding bits read as two
    // more codes (0 in 3 bits, which grows the code size, and 0 in the last
    // 4 bits): the data gives out after 4 pixels.
    GifBuilder gif;
    gif.GraphicControl(0, 0, true, 3).ImageFromCodes({}, {4, 1, 2}).Trailer();
    const auto picture = DecodeChecked(gif.Bytes());
    ASSERT_TRUE(picture);
    const Frame& f = picture->frames[0];
    const int decoded[] = {1, 2, 0, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(PixelAt(f, i, 0), decoded[i]);
        EXPECT_FALSE(TransparentAt(f, i, 0));
    }
    for (int i = 4; i < 16; ++i) {
        EXPECT_EQ(PixelAt(f, i % 4, i / 4), 0);
        EXPECT_TRUE(TransparentAt(f, i % 4, i / 4)) << i;
    }
}

TEST(GifDecoder, FramesAfterOthersStartFromZero) {
    // Frames of one picture share the decoder's buffers: what an earlier
    // frame decoded must not show where a later one's data gives out.
    GifBuilder gif;
    gif.ImageFromPixels({}, Ramp(16, 3))
        .ImageFromCodes({}, {4, 1, 2})
        .ImageFromCodes({}, {})
        .Trailer();
    const auto picture = DecodeChecked(gif.Bytes());
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->frames.size(), 3u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(PixelAt(picture->frames[1], i % 4, i / 4), i == 0 ? 1 : i == 1 ? 2 : 0) << i;
        EXPECT_EQ(PixelAt(picture->frames[2], i % 4, i / 4), 0) << i;
    }
}

TEST(GifDecoder, CodeSizeAboveElevenDecodesNothingAndScansOn) {
    for (int m : {12, 15, 16, 200}) {
        SCOPED_TRACE(m);
        GifBuilder gif;
        gif.GraphicControl(0, 0, true, 0)
            .Raw({0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0, static_cast<std::uint8_t>(m)});
        gif.Raw({2, 0x3B, 0x3B, 0}).ImageFromPixels({}, Ramp(16)).Trailer();
        const auto picture = DecodeChecked(gif.Bytes());
        ASSERT_TRUE(picture);
        // The scan meets the ";" inside the skipped data: one frame, all 0, opaque.
        ASSERT_EQ(picture->frames.size(), 1u);
        const Frame& f = picture->frames[0];
        EXPECT_TRUE(std::all_of(f.pixels.begin(), f.pixels.end(), [](auto p) { return p == 0; }));
        EXPECT_TRUE(std::all_of(f.mask.begin(), f.mask.end(), [](auto p) { return p == 0; }));
    }
}

TEST(GifDecoder, BrokenCodesStayInsideTheTables) {
    // Codes far beyond the next free entry and self-referring chains.
    for (int m = 0; m <= 11; ++m) {
        std::vector<int> codes{1 << m};
        const int limit = 1 << std::min(m + 1, 12);
        for (int i = 0; i < 3000; ++i) codes.push_back((i * 7919 + m) % limit);
        GifBuilder gif("GIF89a", 64, 64, 8);
        gif.GraphicControl(0, 0, true, 1)
            .ImageFromCodes({.width = 64, .height = 64, .minCodeSize = m}, codes)
            .Trailer();
        DecodeChecked(gif.Bytes());
    }
}

TEST(GifDecoder, ProgressAbortDropsTheFrameOrFailsTheLoad) {
    GifBuilder gif("GIF89a", 400, 300, 2);
    gif.ImageFromPixels({.width = 4, .height = 4}, Ramp(16))
        .ImageFromPixels({.width = 400, .height = 300}, Ramp(120000))
        .Trailer();
    // Reports: one per block (2), then every 32 rows of the large frame.
    auto abortAtFourth = [](bool resume) {
        DecodeOptions options;
        options.onProgress = [calls = 0, resume](const Progress& p, bool& keep) mutable {
            EXPECT_LE(p.bytesProcessed, p.bytesToProcess);
            EXPECT_LE(p.percentageProcessed, 100);
            if (++calls == 4)
                keep = false;  // inside the large frame's rows
            else if (calls > 4 && resume)
                keep = true;
        };
        return options;
    };
    EXPECT_FALSE(DecodeGif(gif.Bytes(), abortAtFourth(false)));  // the next report aborts again
    EXPECT_FALSE(reference::Decode(gif.Bytes(), abortAtFourth(false)));
    const auto picture = DecodeGif(gif.Bytes(), abortAtFourth(true));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->frames.size(), 1u);
    testing::ExpectSamePicture(picture, reference::Decode(gif.Bytes(), abortAtFourth(true)));
}

TEST(BmpFile, HeadersDescribeTheFrame) {
    GifBuilder gif("GIF89a", 5, 3);
    gif.GraphicControl(0, 0, true, 1)
        .ImageFromPixels({.width = 5, .height = 3}, Ramp(15))
        .Trailer();
    const Frame f = DecodeGif(gif.Bytes())->frames.at(0);
    const auto bmp = BitmapFile(f);
    auto u32 = [&](const std::vector<std::uint8_t>& b, std::size_t at) {
        return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
               (static_cast<std::uint32_t>(b[at + 3]) << 24);
    };
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(u32(bmp, 2), bmp.size());
    EXPECT_EQ(u32(bmp, 2), 14u + 40 + 4 * 4 + 8 * 3);
    EXPECT_EQ(u32(bmp, 10), 14u + 40 + 4 * 4);
    EXPECT_EQ(u32(bmp, 18), 5u);
    EXPECT_EQ(u32(bmp, 22), 3u);
    EXPECT_EQ(bmp[28], 8);
    EXPECT_EQ(u32(bmp, 34), 24u);
    EXPECT_EQ(u32(bmp, 46), 4u);
    EXPECT_EQ(bmp[54 + 4 + 0], 30);  // entry 1: blue, green, red
    EXPECT_EQ(bmp[54 + 4 + 2], 10);
    const auto mask = MaskFile(f);
    EXPECT_EQ(mask[28], 1);
    EXPECT_EQ(u32(mask, 46), 2u);
    EXPECT_EQ(u32(mask, 34), 4u * 3);
    EXPECT_EQ(mask[54 + 4], 255);
}

TEST(DataProperty, RoundTripsAndToleratesShortPayloads) {
    const std::vector<std::uint8_t> gif{'G', 'I', 'F', '8', '9', 'a'};
    const auto payload = WriteDataProperty(gif);
    EXPECT_EQ(payload.size(), 10u);
    EXPECT_EQ(payload[0], 6);
    std::vector<std::uint8_t> stream;
    EXPECT_TRUE(ReadDataProperty(payload, stream));
    EXPECT_EQ(stream, gif);
    EXPECT_TRUE(ReadDataProperty(std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 1}, stream));
    EXPECT_EQ(stream, gif);  // a negative length adds nothing
    EXPECT_FALSE(ReadDataProperty(std::span(payload).first(7), stream));
    EXPECT_EQ(stream.size(), 9u);
}

}  // namespace
}  // namespace norvane::gif
