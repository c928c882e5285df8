// The raw-byte form property "Data" that carries a GIF picture in a form's
// layout: a signed 32-bit little-endian length N, then N bytes of GIF.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace norvane::gif {

// Appends the property's GIF bytes to `dataStream` (nothing when N <= 0).
// Returns false when the payload holds fewer bytes than its length says;
// what is there is appended all the same.
bool ReadDataProperty(std::span<const std::uint8_t> payload, std::vector<std::uint8_t>& dataStream);

// The payload for `dataStream`: its size, then its content.
std::vector<std::uint8_t> WriteDataProperty(std::span<const std::uint8_t> dataStream);

}  // namespace norvane::gif
