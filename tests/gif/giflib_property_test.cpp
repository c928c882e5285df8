// Random well-formed streams from our own LZW encoder, whole or cut after a
// random byte: DecodeGif gives exactly the pixel indices, frame geometry,
// colour tables, graphic-control values and loop count that giflib reads.
// The base seed is printed; NORVANE_GIF_SEED=N replays a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "gif/gif_builder.h"
#include "gif/gif_decoder.h"
#include "gif/giflib_file.h"
#include "gif/picture_matchers.h"

namespace norvane::gif {
namespace {

using testing::GifBuilder;
using testing::PixelAt;
using testing::TransparentAt;

// What giflib reads of a stream, record by record.
struct GiflibFrame {
    GifImageDesc desc{};
    std::vector<GifColorType> colors;  // the local table
    GraphicsControlBlock control{0, false, 0, NO_TRANSPARENT_COLOR};
    std::vector<std::uint8_t> raster;  // top-down rows of desc.Width
    std::vector<bool> rowDone;
    bool complete = false;
};
struct GiflibPicture {
    std::vector<GifColorType> globalColors;
    int loopCount = 1;
    std::vector<GiflibFrame> frames;
    bool complete = false;  // reached the trailer without an error
};

std::vector<GifColorType> Colors(const ColorMapObject* map) {
    if (!map) return {};
    return {map->Colors, map->Colors + map->ColorCount};
}

// False at giflib's first error.
bool ReadImage(GifFileType* file, GiflibFrame& frame) {
    if (DGifGetImageDesc(file) != GIF_OK) return false;
    frame.desc = file->Image;
    frame.colors = Colors(file->Image.ColorMap);
    const int w = frame.desc.Width, h = frame.desc.Height;
    frame.raster.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    frame.rowDone.assign(static_cast<std::size_t>(h), false);
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    const int passes = frame.desc.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.desc.Interlace ? kStart[pass] : 0;
        const int step = frame.desc.Interlace ? kStep[pass] : 1;
        for (int y = start; y < h; y += step) {
            if (DGifGetLine(file, &frame.raster[static_cast<std::size_t>(y * w)], w) != GIF_OK)
                return false;
            frame.rowDone[static_cast<std::size_t>(y)] = true;
        }
    }
    frame.complete = true;
    return true;
}

bool ReadExtension(GifFileType* file, GraphicsControlBlock& control, int& loopCount) {
    int label = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(file, &label, &block) != GIF_OK) return false;
    if (label == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
        DGifExtensionToGCB(block[0], block + 1, &control);
    const bool netscape = label == APPLICATION_EXT_FUNC_CODE && block && block[0] == 11 &&
                          std::equal(block + 1, block + 12, "NETSCAPE2.0");
    for (bool first = true; block; first = false) {
        if (DGifGetExtensionNext(file, &block) != GIF_OK) return false;
        if (netscape && first && block && block[0] >= 3) loopCount = block[2] | (block[3] << 8);
    }
    return true;
}

GiflibPicture ReadWithGiflib(const std::vector<std::uint8_t>& bytes) {
    GiflibPicture picture;
    const testing::GiflibFile giflib(bytes);
    GifFileType* file = giflib.get();
    if (!file) return picture;
    picture.globalColors = Colors(file->SColorMap);
    GraphicsControlBlock control{0, false, 0, NO_TRANSPARENT_COLOR};
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(file, &type) != GIF_OK) break;
        if (type == IMAGE_DESC_RECORD_TYPE) {
            GiflibFrame frame;
            frame.control = control;
            control = {0, false, 0, NO_TRANSPARENT_COLOR};
            const bool read = ReadImage(file, frame);
            if (!frame.rowDone.empty()) picture.frames.push_back(std::move(frame));
            if (!read) break;
        } else if (type == EXTENSION_RECORD_TYPE) {
            if (!ReadExtension(file, control, picture.loopCount)) break;
        } else if (type == TERMINATE_RECORD_TYPE) {
            picture.complete = true;
            break;
        } else {
            break;
        }
    }
    return picture;
}

// A random stream and how it was made.
struct Stream {
    std::vector<std::uint8_t> bytes;
    bool cut = false;
};

class StreamMaker {
  public:
    explicit StreamMaker(std::uint32_t seed) : rng_(seed) {}

    Stream Make() {
        const bool large = Chance(16);
        const int screenW = Between(1, large ? 600 : 64), screenH = Between(1, large ? 400 : 64);
        const int globalBits = Between(0, 8);
        GifBuilder gif(Chance(2) ? "GIF89a" : "GIF87a", screenW, screenH, globalBits);
        if (Chance(2)) gif.Netscape(Between(0, 65535));
        if (Chance(4)) gif.Comment("made at random");
        const int frames = Between(1, large ? 2 : 3);
        for (int i = 0; i < frames; ++i) Frame(gif, globalBits, large);
        gif.Trailer();
        Stream stream{gif.Bytes()};
        if (Chance(4)) {
            stream.bytes.resize(
                static_cast<std::size_t>(Between(0, static_cast<int>(stream.bytes.size()) - 1)));
            stream.cut = true;
        }
        return stream;
    }

  private:
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool Chance(int oneIn) { return Between(1, oneIn) == 1; }

    void Frame(GifBuilder& gif, int globalBits, bool large) {
        GifBuilder::Image image;
        image.width = Between(1, large ? 600 : 40);
        image.height = Between(1, large ? 400 : 40);
        image.left = Between(0, 50);
        image.top = Between(0, 50);
        image.interlaced = Chance(3);
        image.localBits = globalBits == 0 || Chance(3) ? Between(1, 8) : 0;
        const int bits = image.localBits ? image.localBits : globalBits;
        image.minCodeSize = Between(std::max(2, bits), 8);
        image.blockSize = Chance(3) ? Between(1, 8) : Between(1, 255);
        if (Chance(2)) {
            const bool transparent = Chance(2);
            gif.GraphicControl(Between(0, 3), Between(0, 65535), transparent,
                               Between(0, (1 << bits) - 1));
        }
        const auto pixels =
            Pixels(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height),
                   1 << bits);
        GifBuilder::Lzw lzw;
        lzw.endCode = !Chance(4);
        lzw.clearWhenFull = !Chance(3);
        const int clears = Chance(2) ? 0 : Between(1, 6);
        for (int i = 0; i < clears; ++i) {
            const auto at = static_cast<std::size_t>(Between(0, static_cast<int>(pixels.size())));
            lzw.clearsBefore.insert(lzw.clearsBefore.end(), static_cast<std::size_t>(Between(1, 3)),
                                    at);
        }
        std::sort(lzw.clearsBefore.begin(), lzw.clearsBefore.end());
        gif.ImageFromLzw(image, pixels, lzw);
    }

    // Noise, runs, a repeated pattern or a gradient: short and long strings.
    std::vector<int> Pixels(std::size_t count, int colors) {
        std::vector<int> pixels(count);
        const int style = Between(0, 3);
        std::vector<int> pattern(static_cast<std::size_t>(Between(1, 40)));
        for (int& p : pattern) p = Between(0, colors - 1);
        int run = 0, value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            switch (style) {
                case 0:
                    pixels[i] = Between(0, colors - 1);
                    break;
                case 1:
                    if (run-- == 0) {
                        run = Between(0, 60);
                        value = Between(0, colors - 1);
                    }
                    pixels[i] = value;
                    break;
                case 2:
                    pixels[i] = Chance(50) ? Between(0, colors - 1) : pattern[i % pattern.size()];
                    break;
                default:
                    pixels[i] = static_cast<int>(i / 7 % static_cast<std::size_t>(colors));
            }
        }
        return pixels;
    }

    std::mt19937 rng_;
};

void ExpectSameColors(const ColorTable& ours, const std::vector<GifColorType>& theirs) {
    for (std::size_t i = 0; i < theirs.size(); ++i) {
        EXPECT_EQ(ours[3 * i], theirs[i].Red) << "colour " << i;
        EXPECT_EQ(ours[3 * i + 1], theirs[i].Green) << "colour " << i;
        EXPECT_EQ(ours[3 * i + 2], theirs[i].Blue) << "colour " << i;
    }
}

// Every row giflib finished is ours too; whole streams match in every record.
// One frame as giflib read it: its geometry, colours, graphic control and
// every row giflib finished.
void ExpectFrameAsGiflib(const Frame& f, const GiflibFrame& e, const GiflibPicture& expected) {
    ASSERT_EQ(f.left, e.desc.Left);
    ASSERT_EQ(f.top, e.desc.Top);
    ASSERT_EQ(f.width, e.desc.Width);
    ASSERT_EQ(f.height, e.desc.Height);
    EXPECT_EQ(f.interlaced, e.desc.Interlace);
    EXPECT_EQ(f.hasLocalTable, !e.colors.empty());
    ExpectSameColors(f.colorTable, e.colors.empty() ? expected.globalColors : e.colors);
    EXPECT_EQ(f.disposal, e.control.DisposalMode);
    EXPECT_EQ(f.delay, e.control.DelayTime * 10);
    EXPECT_EQ(f.transparent, e.control.TransparentColor != NO_TRANSPARENT_COLOR);
    if (f.transparent) {
        EXPECT_EQ(f.transparentIndex, e.control.TransparentColor);
    }
    EXPECT_EQ(f.mask.empty(), !f.transparent);
    for (int y = 0; y < f.height; ++y) {
        if (!e.rowDone[static_cast<std::size_t>(y)]) continue;
        for (int x = 0; x < f.width; ++x) {
            const int value = e.raster[static_cast<std::size_t>(y * f.width + x)];
            ASSERT_EQ(PixelAt(f, x, y), value) << "at " << x << "," << y;
            if (f.transparent) {
                ASSERT_EQ(TransparentAt(f, x, y), value == f.transparentIndex)
                    << "mask at " << x << "," << y;
            }
        }
    }
}

void ExpectAsGiflib(const Stream& stream) {
    const GiflibPicture expected = ReadWithGiflib(stream.bytes);
    const auto picture = DecodeGif(stream.bytes);
    if (!stream.cut) {
        ASSERT_TRUE(expected.complete);
    }
    const std::size_t started = expected.frames.size();
    if (!picture) {
        for (const GiflibFrame& f : expected.frames)
            EXPECT_TRUE(std::none_of(f.rowDone.begin(), f.rowDone.end(), [](bool b) { return b; }));
        return;
    }
    if (!stream.cut) {
        EXPECT_EQ(picture->loopCount, expected.loopCount);
        EXPECT_EQ(picture->frames.size(), started);
    }
    ExpectSameColors(picture->globalColorTable, expected.globalColors);
    ASSERT_GE(picture->frames.size(), started);
    for (std::size_t i = 0; i < started; ++i) {
        SCOPED_TRACE(::testing::Message() << "frame " << i + 1);
        const GiflibFrame& e = expected.frames[i];
        ASSERT_NO_FATAL_FAILURE(ExpectFrameAsGiflib(picture->frames[i], e, expected));
        if (!stream.cut) {
            ASSERT_TRUE(e.complete);
        }
    }
}

TEST(GiflibProperty, TableFullWithoutAClearStaysAsItIs) {
    std::mt19937 rng(12);
    std::vector<int> pixels(600 * 400);
    for (int& p : pixels) p = static_cast<int>(rng() % 256);
    GifBuilder::Lzw lzw;
    lzw.clearWhenFull = false;
    const auto codes = testing::LzwCodes(8, pixels, lzw);
    ASSERT_GT(codes.size(), 4096u * 4);
    ASSERT_EQ(std::count(codes.begin(), codes.end(), 256), 1);
    for (bool interlaced : {false, true}) {
        GifBuilder gif("GIF89a", 600, 400, 8);
        gif.GraphicControl(1, 5, true, 7)
            .ImageFromLzw({.width = 600, .height = 400, .interlaced = interlaced, .minCodeSize = 8},
                          pixels, lzw)
            .Trailer();
        ExpectAsGiflib({gif.Bytes()});
    }
}

std::uint32_t BaseSeed() {
    if (const char* seed = std::getenv("NORVANE_GIF_SEED"))
        return static_cast<std::uint32_t>(std::strtoul(seed, nullptr, 10));
    return std::random_device{}();
}

TEST(GiflibProperty, RandomStreamsDecodeAsGiflibReadsThem) {
    const std::uint32_t base = BaseSeed();
    RecordProperty("seed", static_cast<int>(base));
    constexpr std::uint32_t kStreams = 300;
    for (std::uint32_t i = 0; i < kStreams; ++i) {
        const std::uint32_t seed = base + i;
        SCOPED_TRACE(::testing::Message() << "stream seed " << seed << " (NORVANE_GIF_SEED=" << base
                                          << ", stream " << i << ")");
        ExpectAsGiflib(StreamMaker(seed).Make());
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace norvane::gif
