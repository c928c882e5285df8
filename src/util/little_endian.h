// Little-endian numbers in byte blocks: read within bounds checked by the
// caller, and appended to a growing block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace norvane {

inline std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
inline std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return ReadU16(bytes, at) | std::uint32_t{ReadU16(bytes, at + 2)} << 16;
}
inline std::int32_t ReadI32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::int32_t>(ReadU32(bytes, at));
}

inline void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

}  // namespace norvane
