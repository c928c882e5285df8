#include "gif/gif_decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gif/byte_stream.h"
#include "gif/lzw.h"
#include "util/mul_div.h"

namespace norvane::gif {
namespace {

constexpr std::uint8_t kExtension = 0x21, kImage = 0x2C, kTrailer = 0x3B;
constexpr std::uint8_t kGraphicControl = 0xF9, kComment = 0xFE, kApplication = 0xFF,
                       kPlainText = 0x01;
constexpr std::size_t kProgressPixels = 100000;

std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// How many images the data seems to hold, by a walk over its blocks, so
// that the frame list is allocated once rather than grown frame by frame.
// Only a hint: the walk stops at anything unusual, and the parse itself
// decides what the frames are.
std::size_t CountImages(std::span<const std::uint8_t> b) {
    const std::size_t size = b.size();
    std::size_t at = 13, images = 0;
    if (size < at) return 0;
    if (b[10] & 0x80) at += 3u << ((b[10] & 7) + 1);
    auto skipSubBlocks = [&] {
        while (at < size && b[at] != 0) at += b[at] + 1u;
        ++at;
    };
    while (at < size && images < kMaxFrames) {
        if (b[at] == kExtension) {
            at += 2;
            skipSubBlocks();
        } else if (b[at] == kImage && at + 10 < size) {
            const std::uint8_t packed = b[at + 9];
            at += 10;
            if (packed & 0x80) at += 3u << ((packed & 7) + 1);
            ++at;  // minimum code size
            skipSubBlocks();
            ++images;
        } else {
            break;
        }
    }
    return images;
}

// The 6 bytes behind the label of the latest graphic control extension:
// block size, packed byte, delay (16-bit), transparent index, terminator.
using GraphicControl = std::array<std::uint8_t, 6>;

class Parser {
  public:
    Parser(std::span<const std::uint8_t> data, const DecodeOptions& options)
        : stream_(data), options_(options) {
        if (!options.firstImageOnly) picture_.frames.reserve(CountImages(data));
    }

    std::optional<Picture> Parse() {
        if (stream_.Size() == 0) return std::nullopt;
        try {
            return ParseStream();
        } catch (const ReadError&) {
        } catch (const Abort&) {
        }
        return std::nullopt;
    }

  private:
    std::optional<Picture> ParseStream() {
        std::uint8_t header[6];
        stream_.Strict(header, sizeof header);
        if (std::memcmp(header, "GIF", 3) != 0) return std::nullopt;
        picture_.version = header[4] == '9' ? Version::GIF89a : Version::GIF87a;

        std::uint8_t screen[7];
        stream_.Strict(screen, sizeof screen);
        if (screen[4] & 0x80) {
            picture_.globalBits = (screen[4] & 7) + 1;
            stream_.Strict(picture_.globalColorTable.data(), 3u << picture_.globalBits);
        }

        if (!BlockLoop()) return std::nullopt;
        ReportProgress();

        picture_.logicalWidth = Le16(screen);
        picture_.logicalHeight = Le16(screen + 2);
        for (const Frame& f : picture_.frames) {
            picture_.logicalWidth = std::max(picture_.logicalWidth, f.left + f.width);
            picture_.logicalHeight = std::max(picture_.logicalHeight, f.top + f.height);
        }
        if (picture_.frames.empty()) return std::nullopt;
        return std::move(picture_);
    }

    // False when an image descriptor cannot start a frame: the load fails.
    bool BlockLoop() {
        std::uint8_t block[2] = {};
        while (!stream_.AtEnd() && keepOnProcessing_) {
            ReportProgress();
            stream_.Lenient(block, 2);
            if (block[0] == kExtension) {
                Extension(block[1]);
            } else if (block[0] == kImage) {
                stream_.Seek(stream_.Position() - 2);
                if (picture_.frames.size() == kMaxFrames) break;
                // Made in place: a frame is large to move.
                Frame& frame = picture_.frames.emplace_back();
                bool described = false, dropped = false;
                try {
                    described = ReadFrame(frame);
                } catch (const ReadError&) {
                    dropped = true;  // the picture keeps the frames before
                } catch (const Abort&) {
                    dropped = true;
                } catch (const std::bad_alloc&) {
                    dropped = true;
                }
                if (dropped || !described) picture_.frames.pop_back();
                if (dropped) break;
                if (!described) {
                    stream_.Seek(stream_.Size());
                    ReportProgress();
                    return false;
                }
                picture_.globalBits = std::max(picture_.globalBits, frame.localBits);
                picture_.hasTransparency = picture_.hasTransparency || frame.transparent;
                if (options_.firstImageOnly) {
                    stream_.Seek(stream_.Size());
                    break;
                }
                control_ = {};
            } else if (block[0] == kTrailer) {
                break;
            }
            // Any other byte: the scan walks on two bytes at a time.
        }
        return true;
    }

    void Extension(std::uint8_t label) {
        switch (label) {
            case kGraphicControl:
                stream_.Lenient(control_.data(), control_.size());
                break;
            case kComment:
                Comment();
                break;
            case kApplication:
                Application();
                break;
            case kPlainText: {
                std::uint8_t size = 0;
                std::uint8_t skipped[255];
                stream_.Lenient(&size, 1);
                stream_.Lenient(skipped, size);
                SkipSubBlocks(ReadSize());
                break;
            }
            default:
                break;  // not skipped by its sub-blocks: the scan goes on from here
        }
    }

    void Comment() {
        std::uint8_t size = 0;
        stream_.Lenient(&size, 1);
        try {
            std::uint8_t text[255];
            while (size != 0) {
                stream_.Strict(text, size);
                stream_.Strict(&size, 1);
            }
        } catch (const ReadError&) {
            // A comment cut short ends quietly.
        }
    }

    void Application() {
        std::uint8_t identifierSize = 0;
        std::uint8_t identifier[255] = {};
        stream_.Lenient(&identifierSize, 1);
        stream_.Lenient(identifier, identifierSize);
        std::uint8_t size = ReadSize();
        if (std::memcmp(identifier, "NETSCAPE2.0", 11) == 0) {
            std::uint8_t loop[255] = {};
            stream_.Lenient(loop, size);
            picture_.loopCount = Le16(loop + 1);
            size = ReadSize();
        }
        SkipSubBlocks(size);
    }

    std::uint8_t ReadSize() {
        std::uint8_t size = 0;
        stream_.Lenient(&size, 1);
        return size;
    }

    void SkipSubBlocks(std::uint8_t size) {
        while (size != 0 && !stream_.AtEnd()) {
            stream_.Skip(size);
            stream_.Lenient(&size, 1);
        }
    }

    // False for a descriptor that cannot start a frame.
    bool ReadFrame(Frame& f) {
        std::uint8_t descriptor[10];
        stream_.Strict(descriptor, sizeof descriptor);
        f.left = Le16(descriptor + 1);
        f.top = Le16(descriptor + 3);
        f.width = Le16(descriptor + 5);
        f.height = Le16(descriptor + 7);
        if (descriptor[0] != kImage || f.width == 0 || f.height == 0) return false;
        if (f.width > kMaxFrameSide || f.height > kMaxFrameSide) throw Abort{};

        const std::uint8_t packed = descriptor[9];
        if (packed & 0x80) {
            f.hasLocalTable = true;
            f.localBits = (packed & 7) + 1;
            stream_.Lenient(f.colorTable.data(), 3u << f.localBits);
        } else {
            f.colorTable = picture_.globalColorTable;
        }
        f.interlaced = packed & 0x40;

        const std::uint8_t controlPacked = control_[1];
        f.disposal = static_cast<std::uint8_t>((controlPacked >> 2) & 7);
        if (f.disposal > 3) f.disposal = 2;
        f.delay = Le16(control_.data() + 2) * 10;
        f.transparent = controlPacked & 1;
        f.transparentIndex = control_[4];

        const std::size_t area =
            static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height);
        if (area > options_.pixelBudget - pixelsUsed_) throw std::bad_alloc();
        pixelsUsed_ += area;
        f.pixels.assign(PixelStride(f.width) * static_cast<std::size_t>(f.height), 0);
        if (f.transparent)
            f.mask.assign(MaskStride(f.width) * static_cast<std::size_t>(f.height), 0);

        const FrameArea target{f.width,
                               f.height,
                               f.interlaced,
                               f.transparent,
                               f.transparentIndex,
                               f.pixels.data(),
                               f.transparent ? f.mask.data() : nullptr};
        const bool rowProgress = options_.onProgress && area > kProgressPixels;
        const std::function<void()> progress = [this] { ReportProgress(); };
        DecodeLzwImage(stream_, target, rowProgress ? &progress : nullptr, lzw_);

        f.colorCount = 1 << (f.hasLocalTable ? f.localBits : picture_.globalBits);
        return true;
    }

    void ReportProgress() {
        if (!options_.onProgress) return;
        const std::size_t position = stream_.Position(), size = stream_.Size();
        const int percent =
            MulDivRound(100, static_cast<std::int32_t>(position), static_cast<std::int32_t>(size));
        options_.onProgress({position, size, percent}, keepOnProcessing_);
        if (!keepOnProcessing_) throw Abort{};
    }

    ByteStream stream_;
    const DecodeOptions& options_;
    Picture picture_;
    GraphicControl control_{};
    bool keepOnProcessing_ = true;
    std::size_t pixelsUsed_ = 0;
    LzwWorkspace lzw_;
};

}  // namespace

std::optional<Picture> DecodeGif(std::span<const std::uint8_t> data, const DecodeOptions& options) {
    return Parser(data, options).Parse();
}

}  // namespace norvane::gif
