// Sums and products for the fuzzers' own checks: they stop at the largest
// 64-bit number instead of wrapping, so that a check cannot fail to see a
// size that wraps in the code it checks (in 32 or 64 bits).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <limits>

namespace norvane::fuzz {

inline constexpr std::uint64_t kHuge = std::numeric_limits<std::uint64_t>::max();

inline std::uint64_t Sum(std::initializer_list<std::uint64_t> terms) {
    std::uint64_t total = 0;
    for (std::uint64_t term : terms)
        if (__builtin_add_overflow(total, term, &total)) return kHuge;
    return total;
}

inline std::uint64_t Product(std::uint64_t a, std::uint64_t b) {
    std::uint64_t result;
    return __builtin_mul_overflow(a, b, &result) ? kHuge : result;
}

inline void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace norvane::fuzz
