// A frame's bitmap or mask as the bytes of a BMP file, the form in which the
// bitmap loader takes it.
#pragma once

#include <cstdint>
#include <vector>

#include "gif/gif_picture.h"

namespace norvane::gif {

// File header, 40-byte info header (bottom-up, uncompressed), the frame's
// colour entries (blue, green, red, 0) and its 8-bit rows.
std::vector<std::uint8_t> BitmapFile(const Frame& frame);
// The same for its 1-bit mask: entry 0 black (opaque), entry 1 white (transparent).
std::vector<std::uint8_t> MaskFile(const Frame& frame);

}  // namespace norvane::gif
