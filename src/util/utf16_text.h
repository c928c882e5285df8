// UTF-16 text as other programs write it into a block (little-endian, not
// necessarily aligned), read as UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace norvane {

// `units` (two bytes each; an odd last byte is no character) as UTF-8. A
// surrogate without its partner becomes U+FFFD, so that the result is
// always well-formed.
std::string Utf8OfUtf16(std::span<const std::uint8_t> units);

}  // namespace norvane
