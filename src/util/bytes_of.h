// A text's bytes, as the routines that take bytes (a file's parts, a view's
// contents) take them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace norvane {

// Valid while the text is.
inline std::span<const std::uint8_t> BytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace norvane
