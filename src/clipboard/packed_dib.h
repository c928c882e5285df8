// A DIB's rows counted in 64 bits, every sum checked: the sizes of the
// packed DIB a bitmap is copied into, and what a DIB's rows take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace norvane {

inline constexpr std::uint32_t kDibInfoHeaderSize = 40;  // BITMAPINFOHEADER

// Bytes a row: whole 32-bit words. None past 64 bits.
std::optional<std::uint64_t> DibStride(std::uint64_t width, unsigned bitsPerPixel);

// The rows of a DIB; a negative height gives them from the top down.
std::uint64_t DibRowCount(std::int32_t height);

// The sizes of a packed DIB that a bitmap is copied into: a 40-byte header,
// a whole colour table at 1, 4 and 8 bits, then the rows. None when the
// whole does not fit a block this process can hold (nor a DIB's 32-bit
// size fields).
struct PackedDibSizes {
    std::size_t colorTableBytes = 0, pixelBytes = 0, totalBytes = 0;
};
std::optional<PackedDibSizes> PackedDibSizesOf(std::int32_t width, std::int32_t height,
                                               unsigned bitsPerPixel);

}  // namespace norvane
