// The 22-byte header that makes a Windows metafile "placeable": its size in
// its own units and how many of those make an inch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace norvane {

inline constexpr std::size_t kPlaceableHeaderSize = 22;

struct PlaceableHeader {
    int width = 0, height = 0;  // of the bounding box, in metafile units
    int unitsPerInch = 0;
};

// The header of `bytes`, or nothing when they do not start with a valid one
// (key, checksum, a bounding box of some size, units per inch) followed by
// at least a metafile header.
std::optional<PlaceableHeader> ReadPlaceableHeader(std::span<const std::uint8_t> bytes);

// The header for a metafile whose picture covers left, top to right, bottom
// (in its own units), `unitsPerInch` of them to the inch.
std::vector<std::uint8_t> PlaceableHeaderBytes(std::int16_t left, std::int16_t top,
                                               std::int16_t right, std::int16_t bottom,
                                               std::uint16_t unitsPerInch);

}  // namespace norvane
