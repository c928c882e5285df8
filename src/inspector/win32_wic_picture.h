// Pictures in the codings Windows' own imaging components read (PNG, JPEG,
// BMP, TIFF ...), decoded from a copied block into the preview's DIB.
#pragma once

#include <cstdint>
#include <span>

#include "inspector/encoded_picture.h"

namespace norvane {

// The first frame of the picture in `bytes`, decoded by the decoder of the
// coding whose signature they begin with (SignatureCoding) and no other,
// converted to 32 bits with alpha; bytes with no signature are refused, and
// a frame larger than the preview allows before its pixels are asked for.
// Stops at its next step once `cancelled`, with no picture. Never throws.
DecodedPicture DecodeWithWic(std::span<const std::uint8_t> bytes,
                             const DecodeCancelled& cancelled = {});

}  // namespace norvane
