#include "util/utf16_text.h"

#include "util/little_endian.h"

namespace norvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsLeadSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsTrailSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& text, char32_t c) {
    const auto put = [&](char32_t byte) { text += static_cast<char>(byte); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | c >> 6), put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | c >> 12), put(0x80 | (c >> 6 & 0x3F)), put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | c >> 18), put(0x80 | (c >> 12 & 0x3F)), put(0x80 | (c >> 6 & 0x3F)),
            put(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string Utf8OfUtf16(std::span<const std::uint8_t> units) {
    std::string text;
    text.reserve(units.size());
    const std::size_t count = units.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t unit = ReadU16(units, 2 * i);
        if (IsLeadSurrogate(unit) && i + 1 < count) {
            const char32_t next = ReadU16(units, 2 * (i + 1));
            if (IsTrailSurrogate(next)) {
                AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(text, IsLeadSurrogate(unit) || IsTrailSurrogate(unit) ? kReplacement : unit);
    }
    return text;
}

}  // namespace norvane
