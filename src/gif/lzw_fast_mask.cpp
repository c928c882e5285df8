// The masks of the frames the fast path decoded, eight or sixteen pixels at a
// time.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gif/gif_picture.h"
#include "gif/lzw_fast.h"

namespace norvane::gif::lzw_detail {
namespace {

// Mask bits (first pixel in the highest bit) of eight pixels: set where the
// pixel is the transparent index.
inline std::uint8_t TransparentBits(const std::uint8_t* pixels, std::uint64_t index8) {
    std::uint64_t eight;
    std::memcpy(&eight, pixels, 8);
    const std::uint64_t v = eight ^ index8;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full, kHigh = 0x8080808080808080ull;
    const std::uint64_t zero = ~(((v & kLow7) + kLow7) | v) & kHigh;  // 0x80 in each 0 byte
    return static_cast<std::uint8_t>(((zero >> 7) * 0x8040201008040201ull) >> 56);
}

// Each byte with its bits in reverse order: the first pixel goes to the
// highest bit of a mask byte.
constexpr std::array<std::uint8_t, 256> kReversedBits = [] {
    std::array<std::uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i)
        for (unsigned b = 0; b < 8; ++b)
            if (i & (1u << b)) table[i] |= static_cast<std::uint8_t>(0x80u >> b);
    return table;
}();

// The top `count` bits (0 to 8) of a mask byte.
inline unsigned TopBits(std::size_t count) {
    return (0xFF00u >> count) & 0xFF;
}

}  // namespace

void BuildMask(const FrameArea& a, const std::vector<std::uint32_t>& rowOffset, std::size_t done) {
    const std::size_t w = static_cast<std::size_t>(a.width), h = static_cast<std::size_t>(a.height);
    const std::size_t stride = PixelStride(a.width), maskStride = MaskStride(a.width);
    const std::size_t size = stride * h;
    const std::uint64_t index8 = a.transparentIndex * 0x0101010101010101ull;
    for (std::size_t k = 0; k < h; ++k) {
        const std::uint8_t* line = a.pixels + rowOffset[k];
        std::uint8_t* maskLine = a.mask + rowOffset[k] / stride * maskStride;
        const std::size_t decoded = k < done / w ? w : k == done / w ? done % w : 0;
        std::size_t x = 0;
#if defined(__SSE2__)
        const __m128i index16 = _mm_set1_epi8(static_cast<char>(a.transparentIndex));
        for (; x + 16 <= decoded; x += 16) {
            const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x));
            const auto bits =
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(sixteen, index16)));
            maskLine[x / 8] = kReversedBits[bits & 0xFF];
            maskLine[x / 8 + 1] = kReversedBits[bits >> 8];
        }
#endif
        for (; x + 8 <= decoded; x += 8) maskLine[x / 8] = TransparentBits(line + x, index8);
        for (; x < w; x += 8) {
            // The last few pixels of the row, or those the data did not reach.
            unsigned bits = 0;
            if (rowOffset[k] + x + 8 <= size) {
                bits = TransparentBits(line + x, index8);
            } else {
                for (std::size_t i = 0; i < 8 && x + i < w; ++i)
                    if (line[x + i] == a.transparentIndex) bits |= 0x80u >> i;
            }
            const unsigned reached =
                TopBits(decoded > x ? std::min<std::size_t>(decoded - x, 8) : 0);
            maskLine[x / 8] = static_cast<std::uint8_t>(((bits & reached) | (~reached & 0xFF)) &
                                                        TopBits(std::min<std::size_t>(w - x, 8)));
        }
    }
}

}  // namespace norvane::gif::lzw_detail
