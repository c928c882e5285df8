// Text routines for the layout snapshot lines: byte strings, a zero byte is an
// ordinary character, and positions in the comments count from 1.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace norvane {

// The strict text-to-integer conversion failed: a lone sign, or a value
// outside the signed 32-bit range.
class ConversionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// `source` with every occurrence of `find` replaced by `replacement`. The
// search starts again at the front after each replacement, so an occurrence
// that a replacement forms with its neighbours is replaced too ("aabb" with
// "ab" -> "" gives ""). A replacement longer than `find` can so make the text
// grow very fast ("ab" -> "bba" doubles it per "a" in front). When `find`
// occurs within `replacement` the repetition would never end, and each
// occurrence of the original text is replaced once, left to right, instead.
std::string ReplaceAllText(std::string_view source, std::string_view find,
                           std::string_view replacement);

// The number spelled by the text's digits and a sign in front of them; every
// other character is ignored, and so is every sign after the first kept
// character. Nothing left gives 0. Throws ConversionError.
std::int32_t ExtractNumber(std::string_view text);

// ExtractNumber of field `n` (from 1) of `text`, fields separated by
// `delimiter`. Once no delimiter is left, later fields repeat the last one.
std::int32_t ExtractNumberField(std::string_view text, std::string_view delimiter, int n);

// Strict decimal conversion: an optional sign and at least one digit, and
// nothing else; throws ConversionError.
std::int32_t StrictToInt32(std::string_view text);

}  // namespace norvane
