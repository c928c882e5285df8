// The first frame of a GIF as the preview shows it: decoded by the
// program's own decoder, placed on its logical screen, its transparent
// pixels and the screen it leaves uncovered clear.
#pragma once

#include <cstdint>
#include <span>

#include "inspector/encoded_picture.h"

namespace norvane {

// Decodes no more than `mostPixels` (the preview's limit unless smaller):
// the caller has checked the screen size the header claims; a frame that
// grows it past that is refused.
DecodedPicture DecodeGifFirstFrame(std::span<const std::uint8_t> bytes,
                                   std::uint64_t mostPixels = kMostPreviewPixels);

}  // namespace norvane
