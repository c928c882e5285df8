#pragma once

#include <optional>
#include <span>

#include "gif/gif_picture.h"

namespace norvane::gif {

// Parses a GIF stream ("GIF87a"/"GIF89a") into at most 256 frames. Nothing
// when the load fails: no "GIF" signature, a header or colour table cut
// short, an image descriptor of width or height 0, no image, or an abort.
std::optional<Picture> DecodeGif(std::span<const std::uint8_t> data,
                                 const DecodeOptions& options = {});

}  // namespace norvane::gif
