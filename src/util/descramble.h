// Some display texts are kept in the program only in scrambled form and
// turned into their display form when they are used. Scrambling happens at
// compile time (`SCRAMBLED("...")`), so the display wording never appears in
// the executable.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace norvane {

// Byte p (from 1) loses p mod 5, wrapping within 0..255; then the bytes at
// the even positions p and p + 3 change places while p + 3 is in the text.
std::string DescrambleText(std::string_view stored);

namespace scramble_detail {

// The swaps pair positions (2,5), (4,7), (6,9)...: 0-based (1,4), (3,6)...
template <std::size_t N>
constexpr void SwapPairs(std::array<char, N>& text) {
    for (std::size_t i = 1; i + 3 < N; i += 2) {
        const char held = text[i];
        text[i] = text[i + 3];
        text[i + 3] = held;
    }
}

}  // namespace scramble_detail

// A text in its stored form; only `view()` reaches the program at run time.
template <std::size_t N>
struct ScrambledText {
    std::array<char, N> bytes{};
    constexpr std::string_view view() const { return {bytes.data(), N}; }
    std::string Display() const { return DescrambleText(view()); }
};

// The inverse of DescrambleText, evaluated only by the compiler.
template <std::size_t M>
consteval ScrambledText<M - 1> Scramble(const char (&display)[M]) {
    ScrambledText<M - 1> out;
    for (std::size_t i = 0; i + 1 < M; ++i) out.bytes[i] = display[i];
    scramble_detail::SwapPairs(out.bytes);
    for (std::size_t i = 0; i + 1 < M; ++i) {
        const unsigned code = static_cast<unsigned char>(out.bytes[i]);
        out.bytes[i] = static_cast<char>(static_cast<unsigned char>(code + (i + 1) % 5));
    }
    return out;
}

}  // namespace norvane

// Stored form of a display text; the literal itself is not kept.
#define SCRAMBLED(text) (::norvane::Scramble(text))
