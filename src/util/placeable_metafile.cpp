#include "util/placeable_metafile.h"

#include "util/little_endian.h"

namespace norvane {
namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kMetafileHeaderSize = 18;

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
    return ReadU16(bytes, at);
}

}  // namespace

std::optional<PlaceableHeader> ReadPlaceableHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kPlaceableHeaderSize + kMetafileHeaderSize) return std::nullopt;
    const std::uint32_t key = Word(bytes, 0) | std::uint32_t{Word(bytes, 2)} << 16;
    // The checksum is the XOR of the ten words before it.
    std::uint16_t checksum = 0;
    for (std::size_t at = 0; at < 20; at += 2) checksum ^= Word(bytes, at);
    if (key != kPlaceableKey || checksum != Word(bytes, 20)) return std::nullopt;
    const auto coordinate = [&](std::size_t at) {
        return static_cast<std::int16_t>(Word(bytes, at));
    };
    PlaceableHeader header;
    header.width = coordinate(10) - coordinate(6);
    header.height = coordinate(12) - coordinate(8);
    header.unitsPerInch = Word(bytes, 14);
    if (header.width <= 0 || header.height <= 0 || header.unitsPerInch == 0) return std::nullopt;
    return header;
}

std::vector<std::uint8_t> PlaceableHeaderBytes(std::int16_t left, std::int16_t top,
                                               std::int16_t right, std::int16_t bottom,
                                               std::uint16_t unitsPerInch) {
    std::vector<std::uint8_t> out;
    out.reserve(kPlaceableHeaderSize);
    PutU32(out, kPlaceableKey);
    PutU16(out, 0);  // no metafile handle
    for (std::int16_t coordinate : {left, top, right, bottom})
        PutU16(out, static_cast<std::uint16_t>(coordinate));
    PutU16(out, unitsPerInch);
    PutU32(out, 0);  // reserved
    std::uint16_t checksum = 0;
    for (std::size_t at = 0; at < 20; at += 2) checksum ^= Word(out, at);
    PutU16(out, checksum);
    return out;
}

}  // namespace norvane
