#include "inspector/picture_pixels.h"

#include <bit>

#include "clipboard/packed_dib.h"
#include "util/little_endian.h"

namespace norvane {
namespace {

// A channel's value scaled to 0..255, whatever the width of its mask.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t most = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>((std::uint64_t{value} * 255 + most / 2) / most);
}

std::uint32_t Blend(std::uint32_t over, std::uint32_t under, std::uint32_t alpha) {
    return (over * alpha + under * (255 - alpha) + 127) / 255;
}

}  // namespace

std::optional<ChannelMasks> AlphaMasksOf(const DibHeader& header,
                                         std::span<const std::uint8_t> block) {
    if (header.bitsPerPixel != 32 || !header.pixelBytes) return std::nullopt;
    std::size_t at = 0;
    if (header.compression == kBiBitfields && header.headerSize >= 56)
        at = 40;  // the masks are the header's own fields
    else if (header.compression == kBiAlphaBitfields && header.headerSize == 40)
        at = 40;  // four masks follow the header
    else
        return std::nullopt;
    if (block.size() < at + 16) return std::nullopt;
    ChannelMasks masks{ReadU32(block, at), ReadU32(block, at + 4), ReadU32(block, at + 8),
                       ReadU32(block, at + 12)};
    if (masks.alpha == 0) return std::nullopt;
    return masks;
}

std::vector<std::uint32_t> ComposeOverCheckerboard(const DibHeader& header,
                                                   std::span<const std::uint8_t> block,
                                                   const ChannelMasks& masks, int x, int y,
                                                   int width, int height) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) *
                                   static_cast<std::size_t>(height));
    const std::size_t stride = static_cast<std::size_t>(header.width) * 4;
    const auto rows = static_cast<std::size_t>(DibRowCount(header.height));
    const std::size_t bits = static_cast<std::size_t>(header.BitsOffset());
    for (int row = 0; row < height; ++row) {
        const std::size_t fromTop = static_cast<std::size_t>(y + row);
        const std::size_t stored = header.height < 0 ? fromTop : rows - 1 - fromTop;
        const std::size_t line = bits + stored * stride;
        for (int column = 0; column < width; ++column) {
            const int px = x + column, py = y + row;
            const std::uint32_t pixel = ReadU32(block, line + static_cast<std::size_t>(px) * 4);
            const std::uint32_t under =
                ((px / kCheckerSquare + py / kCheckerSquare) % 2) ? kCheckerDark : kCheckerLight;
            const std::uint32_t alpha = Channel(pixel, masks.alpha);
            const std::uint32_t red = Blend(Channel(pixel, masks.red), under >> 16 & 0xFF, alpha);
            const std::uint32_t green =
                Blend(Channel(pixel, masks.green), under >> 8 & 0xFF, alpha);
            const std::uint32_t blue = Blend(Channel(pixel, masks.blue), under & 0xFF, alpha);
            out[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(column)] = red << 16 | green << 8 | blue;
        }
    }
    return out;
}

}  // namespace norvane
