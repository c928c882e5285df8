// Pictures in the codings Windows' own imaging components read (PNG, JPEG,
// BMP, TIFF ...), decoded from a copied block into the preview's DIB.
#pragma once

#include <cstdint>
#include <span>

#include "inspector/encoded_picture.h"

namespace norvane {

// The first frame of the picture in `bytes`, converted to 32 bits with
// alpha; a frame larger than the preview allows is refused before its
// pixels are asked for. Never throws.
DecodedPicture DecodeWithWic(std::span<const std::uint8_t> bytes);

}  // namespace norvane
