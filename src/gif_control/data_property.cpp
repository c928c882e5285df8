#include "gif_control/data_property.h"

#include <algorithm>

namespace norvane::gif {

bool ReadDataProperty(std::span<const std::uint8_t> payload,
                      std::vector<std::uint8_t>& dataStream) {
    if (payload.size() < 4) return false;
    const auto length = static_cast<std::int32_t>(static_cast<std::uint32_t>(payload[0]) |
                                                  (static_cast<std::uint32_t>(payload[1]) << 8) |
                                                  (static_cast<std::uint32_t>(payload[2]) << 16) |
                                                  (static_cast<std::uint32_t>(payload[3]) << 24));
    if (length <= 0) return true;
    const std::size_t wanted = static_cast<std::size_t>(length);
    const std::size_t available = std::min(wanted, payload.size() - 4);
    dataStream.insert(dataStream.end(), payload.begin() + 4,
                      payload.begin() + 4 + static_cast<std::ptrdiff_t>(available));
    return available == wanted;
}

std::vector<std::uint8_t> WriteDataProperty(std::span<const std::uint8_t> dataStream) {
    const auto size = static_cast<std::uint32_t>(dataStream.size());
    std::vector<std::uint8_t> payload;
    payload.reserve(4 + dataStream.size());
    for (int shift = 0; shift < 32; shift += 8)
        payload.push_back(static_cast<std::uint8_t>(size >> shift));
    payload.insert(payload.end(), dataStream.begin(), dataStream.end());
    return payload;
}

}  // namespace norvane::gif
