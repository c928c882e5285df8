#include "clipboard/packed_dib.h"

#include <algorithm>
#include <limits>

#include "util/checked_math.h"

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

}  // namespace norvane
