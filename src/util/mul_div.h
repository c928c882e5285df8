// Integer scaling as the Win32 MulDiv does it, kept free of windows.h so
// that layout and font arithmetic can be tested natively.
#pragma once

#include <cstdint>

namespace norvane {

// number * numerator / denominator, rounded half away from zero; -1 when
// the denominator is 0 or the result does not fit 32 bits.
constexpr std::int32_t MulDivRound(std::int32_t number, std::int32_t numerator,
                                   std::int32_t denominator) {
    if (denominator == 0) return -1;
    const std::int64_t product = std::int64_t{number} * numerator;
    const std::int64_t half = (denominator < 0 ? -std::int64_t{denominator} : denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude = (product < 0 ? -product : product);
    const std::int64_t divisor = denominator < 0 ? -std::int64_t{denominator} : denominator;
    const std::int64_t quotient = (magnitude + half) / divisor;
    const std::int64_t result = negative ? -quotient : quotient;
    if (result > INT32_MAX || result < INT32_MIN) return -1;
    return static_cast<std::int32_t>(result);
}

// A font's size in points from its height in pixels (negative: character
// height) at `dpi` pixels per inch, and back.
constexpr int FontPointsFromHeight(int height, int dpi) {
    return -MulDivRound(height, 72, dpi);
}
constexpr int FontHeightFromPoints(int points, int dpi) {
    return -MulDivRound(points, dpi, 72);
}

}  // namespace norvane
