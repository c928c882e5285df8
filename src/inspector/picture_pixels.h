// A DIB's pixels for the picture preview: whether they carry alpha, and a
// part of them composed over a checkerboard, read within the block. Only the
// part asked for is read, so a large picture costs what its view shows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "inspector/data_headers.h"

namespace norvane {

// The light and dark squares the transparent parts show, and their size.
inline constexpr std::uint32_t kCheckerLight = 0xFFFFFF, kCheckerDark = 0xCCCCCC;
inline constexpr int kCheckerSquare = 8;

struct ChannelMasks {
    std::uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};

// The masks of a whole 32-bit DIB whose alpha mask is not zero: BI_BITFIELDS
// with a header of 56 bytes or more (V3, V4, V5), or BI_ALPHABITFIELDS; none
// for any other DIB, which GDI draws as it is.
std::optional<ChannelMasks> AlphaMasksOf(const DibHeader& header,
                                         std::span<const std::uint8_t> block);

// The pixels of columns [x, x + width) and rows [y, y + height) (counted from
// the top) as 0x00RRGGBB, rows from the top, each blended over the
// checkerboard as it lies on the picture. The part must lie within the
// picture, and the block hold what its header says.
std::vector<std::uint32_t> ComposeOverCheckerboard(const DibHeader& header,
                                                   std::span<const std::uint8_t> block,
                                                   const ChannelMasks& masks, int x, int y,
                                                   int width, int height);

}  // namespace norvane
