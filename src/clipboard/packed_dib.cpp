#include "clipboard/packed_dib.h"

#include <algorithm>
#include <limits>

#include "util/checked_math.h"
#include "util/little_endian.h"

namespace norvane {

std::optional<std::uint64_t> DibStride(std::uint64_t width, unsigned bitsPerPixel) {
    const auto bits = CheckedMultiply(width, bitsPerPixel);
    if (!bits) return std::nullopt;
    return (*bits / 32 + (*bits % 32 != 0)) * 4;
}

std::uint64_t DibRowCount(std::int32_t height) {
    return height < 0 ? 0 - static_cast<std::uint64_t>(std::int64_t{height})
                      : static_cast<std::uint64_t>(height);
}

std::optional<PackedDibSizes> PackedDibSizesOf(std::int32_t width, std::int32_t height,
                                               unsigned bitsPerPixel) {
    if (width < 0 || bitsPerPixel > 32) return std::nullopt;
    const auto stride = DibStride(static_cast<std::uint64_t>(width), bitsPerPixel);
    const auto pixels = stride ? CheckedMultiply(*stride, DibRowCount(height)) : std::nullopt;
    if (!pixels) return std::nullopt;
    const std::uint64_t table = bitsPerPixel <= 8 ? std::uint64_t{4} << bitsPerPixel : 0;
    const auto total = CheckedAdd(kDibInfoHeaderSize + table, *pixels);
    // A vector holds at most PTRDIFF_MAX bytes; a DIB's sizes are 32-bit.
    const std::uint64_t most = std::min<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max(),
                                                       std::numeric_limits<std::uint32_t>::max());
    if (!total || *total > most) return std::nullopt;
    return PackedDibSizes{static_cast<std::size_t>(table), static_cast<std::size_t>(*pixels),
                          static_cast<std::size_t>(*total)};
}

std::string ByteCountText(std::uint64_t n) {
    return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

std::string ShortBlockText(std::size_t size, std::uint64_t claimed, const char* what) {
    return "The block holds " + ByteCountText(size) + "; " + what + " " + ByteCountText(claimed) +
           ".";
}

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;

bool IsKnownHeaderSize(std::uint32_t size) {
    for (std::uint32_t known : {12u, 40u, 52u, 56u, 64u, 108u, 124u})
        if (size == known) return true;
    return false;
}

constexpr std::uint32_t kRle8 = 1, kRle4 = 2, kJpeg = 4, kPng = 5;
// GDI reads no more colours than this from any table.
constexpr std::uint64_t kMostTableEntries = 256;

// The entries of the colour table, as GDI counts them: at 1 to 8 bits the
// colours used (all 2^bits when none are given, never more); above, an
// optional table of the colours used, which a core header never has.
std::uint64_t ColorTableEntries(bool core, std::uint16_t bits, std::uint32_t colorsUsed) {
    if (bits >= 1 && bits <= 8) {
        const std::uint64_t most = std::uint64_t{1} << bits;
        return core || colorsUsed == 0 ? most : std::min<std::uint64_t>(colorsUsed, most);
    }
    return core ? 0 : std::min<std::uint64_t>(colorsUsed, kMostTableEntries);
}

// What the rows take: whole 32-bit words a row; the stored size for a
// compressed bitmap. None when it cannot be counted in 64 bits.
std::optional<std::uint64_t> PixelBytes(const DibHeader& h, std::uint32_t imageSize) {
    if (!h.HasPlainRows()) return imageSize;
    const auto stride =
        DibStride(h.width < 0 ? 0 : static_cast<std::uint64_t>(h.width), h.bitsPerPixel);
    if (!stride) return std::nullopt;
    return CheckedMultiply(*stride, DibRowCount(h.height));
}

std::string CompressionName(std::uint32_t compression) {
    switch (compression) {
        case kRle8:
            return "BI_RLE8";
        case kRle4:
            return "BI_RLE4";
        case kBiBitfields:
            return "BI_BITFIELDS";
        case kJpeg:
            return "BI_JPEG";
        case kPng:
            return "BI_PNG";
        case kBiAlphaBitfields:
            return "BI_ALPHABITFIELDS";
    }
    return std::to_string(compression);
}

// What is wrong with the depth, size and compression the header gives.
std::string ShapeProblem(const DibHeader& h, std::uint32_t imageSize) {
    const std::string depth = std::to_string(h.bitsPerPixel) + " bits per pixel";
    bool known = false;
    for (unsigned bits : {1u, 2u, 4u, 8u, 16u, 24u, 32u}) known = known || h.bitsPerPixel == bits;
    // JPEG and PNG bitmaps may leave the depth to their stream.
    const bool streamed = h.compression == kJpeg || h.compression == kPng;
    if (!known && !(h.bitsPerPixel == 0 && streamed))
        return "Its header gives " + depth + ", which no bitmap has.";
    if (h.width <= 0 || h.height == 0)
        return "Its header gives a size of " + std::to_string(h.width) + " x " +
               std::to_string(h.height) + " pixels.";
    const bool fits = (h.compression == kRle8 && h.bitsPerPixel == 8) ||
                      (h.compression == kRle4 && h.bitsPerPixel == 4) ||
                      ((h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) &&
                       (h.bitsPerPixel == 16 || h.bitsPerPixel == 32)) ||
                      h.compression == kBiRgb || h.compression > kBiAlphaBitfields || streamed;
    if (!fits)
        return "Its header gives the compression " + CompressionName(h.compression) + " with " +
               depth + ", which it cannot have.";
    if ((h.compression == kRle8 || h.compression == kRle4) && h.height < 0)
        return "Its header gives a top-down bitmap compressed with " +
               CompressionName(h.compression) + ", which cannot be.";
    if (!h.HasPlainRows() && imageSize == 0)
        return "Its header gives no size for its compressed (" + CompressionName(h.compression) +
               ") rows.";
    return {};
}

}  // namespace

std::optional<std::uint64_t> DibHeader::NeededBytes() const {
    if (!pixelBytes) return std::nullopt;
    return CheckedAdd(BitsOffset(), *pixelBytes);
}

HeaderReading<DibHeader> ReadDibHeader(std::span<const std::uint8_t> block) {
    HeaderReading<DibHeader> reading;
    if (block.size() < 4) {
        reading.problem =
            "The block holds " + ByteCountText(block.size()) + ", too few for a bitmap header.";
        return reading;
    }
    DibHeader h;
    h.headerSize = ReadU32(block, 0);
    if (!IsKnownHeaderSize(h.headerSize)) {
        reading.problem = "The block does not start with a bitmap header (its first number is " +
                          std::to_string(h.headerSize) + ").";
        return reading;
    }
    if (block.size() < h.headerSize) {
        reading.problem = ShortBlockText(block.size(), h.headerSize, "its bitmap header takes");
        return reading;
    }
    const bool core = h.headerSize == kCoreHeaderSize;
    std::uint32_t colorsUsed = 0, imageSize = 0;
    if (core) {
        h.width = ReadU16(block, 4);
        h.height = ReadU16(block, 6);
        h.planes = ReadU16(block, 8);
        h.bitsPerPixel = ReadU16(block, 10);
    } else {
        h.width = ReadI32(block, 4);
        h.height = ReadI32(block, 8);
        h.planes = ReadU16(block, 12);
        h.bitsPerPixel = ReadU16(block, 14);
        h.compression = ReadU32(block, 16);
        imageSize = ReadU32(block, 20);
        colorsUsed = ReadU32(block, 32);
    }
    h.colorsUsed = colorsUsed;
    // Masks follow only the 40-byte header; the longer ones hold them.
    if (h.headerSize == kDibInfoHeaderSize && h.compression == kBiBitfields) h.maskBytes = 12;
    if (h.headerSize == kDibInfoHeaderSize && h.compression == kBiAlphaBitfields) h.maskBytes = 16;
    h.colorTableBytes = ColorTableEntries(core, h.bitsPerPixel, colorsUsed) * (core ? 3 : 4);
    h.pixelBytes = PixelBytes(h, imageSize);
    reading.header = h;
    reading.problem = ShapeProblem(h, imageSize);
    if (!reading.problem.empty()) return reading;
    const auto needed = h.NeededBytes();
    if (!needed)
        reading.problem = "Its header asks for more rows than any block can hold.";
    else if (*needed > block.size())
        reading.problem = ShortBlockText(block.size(), *needed, "its bitmap header asks for");
    return reading;
}

std::string SystemConversionProblem(const DibHeader& h) {
    if (h.bitsPerPixel < 1 || h.bitsPerPixel > 8) return {};
    const std::uint32_t indexable = std::uint32_t{1} << h.bitsPerPixel;
    if (h.colorsUsed <= indexable) return {};
    return "Its header counts " + std::to_string(h.colorsUsed) + " colours, more than its " +
           std::to_string(h.bitsPerPixel) + "-bit pixels can index (" + std::to_string(indexable) +
           ").";
}

}  // namespace norvane
