#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace norvane {

// A settings value as a 32-bit whole number: leading blanks, an optional
// sign, then decimal digits, or hexadecimal ones after "$", "x" or "0x".
// Nothing for an empty text or anything else.
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);

}  // namespace norvane
