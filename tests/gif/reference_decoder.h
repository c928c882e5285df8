// A second GIF decoder for tests only, written step by step from the
// decoder's definition with no regard for speed: one value per call, a
// stack of pushed suffixes, pixel and mask streams written at the end.
#pragma once

#include <optional>
#include <span>

#include "gif/gif_picture.h"

namespace norvane::gif::reference {

std::optional<Picture> Decode(std::span<const std::uint8_t> data,
                              const DecodeOptions& options = {});

}  // namespace norvane::gif::reference
