// Sums and products of sizes that say when they would pass 64 bits.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

namespace norvane {

inline std::optional<std::uint64_t> CheckedAdd(std::uint64_t a, std::uint64_t b) {
    if (a > std::numeric_limits<std::uint64_t>::max() - b) return std::nullopt;
    return a + b;
}

inline std::optional<std::uint64_t> CheckedMultiply(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a) return std::nullopt;
    return a * b;
}

}  // namespace norvane
