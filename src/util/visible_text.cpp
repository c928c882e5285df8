#include "util/visible_text.h"

#include <cstdint>

namespace norvane {
namespace {

// The character that begins at `text[at]` and its length in bytes, or a
// length of 0 where the bytes there are not a well-formed UTF-8 character.
struct Decoded {
    char32_t character = 0;
    std::size_t length = 0;
};

Decoded DecodeUtf8(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[at + i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    char32_t character = 0;
    if (lead < 0x80) return {lead, 1};
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, character = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, character = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, character = lead & 0x07u;
    } else {
        return {};
    }
    if (text.size() - at < length) return {};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u) return {};
        character = (character << 6) | (byte(i) & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    const bool overlong =
        (length == 3 && character < 0x800) || (length == 4 && character < 0x10000);
    if (overlong || (character >= 0xD800 && character <= 0xDFFF) || character > 0x10FFFF) return {};
    return {character, length};
}

}  // namespace

bool IsHiddenControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

std::string VisibleText(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string visible;
    visible.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const Decoded decoded = DecodeUtf8(utf8, at);
        if (decoded.length == 0) {
            visible += utf8[at++];
            continue;
        }
        if (IsHiddenControl(decoded.character)) {
            visible += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                visible += kHex[(decoded.character >> shift) & 0xF];
        } else {
            visible.append(utf8, at, decoded.length);
        }
        at += decoded.length;
    }
    return visible;
}

}  // namespace norvane
