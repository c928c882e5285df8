// UTF-8 text cut and counted by whole characters, never inside one.
#pragma once

#include <cstddef>
#include <string_view>

namespace norvane {

inline bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The longest beginning of `text` of at most `bytes` bytes that ends on a
// whole character.
inline std::string_view Utf8Prefix(std::string_view text, std::size_t bytes) {
    if (bytes >= text.size()) return text;
    while (bytes > 0 && IsUtf8Continuation(text[bytes])) --bytes;
    return text.substr(0, bytes);
}

// The characters of `text` (bytes that begin one).
inline std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) count += IsUtf8Continuation(c) ? 0 : 1;
    return count;
}

// The beginning of `text` holding at most `characters` characters.
inline std::string_view Utf8Characters(std::string_view text, std::size_t characters) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < text.size(); ++at) {
        if (!IsUtf8Continuation(text[at]) && seen++ == characters) break;
    }
    return text.substr(0, at);
}

}  // namespace norvane
