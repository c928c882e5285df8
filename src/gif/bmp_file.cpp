#include "gif/bmp_file.h"

#include "util/little_endian.h"

namespace norvane::gif {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14, kInfoHeaderSize = 40;

std::vector<std::uint8_t> File(const Frame& frame, std::uint16_t bitsPerPixel, std::uint32_t colors,
                               const std::uint8_t* palette, const std::vector<std::uint8_t>& rows) {
    const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + 4 * colors;
    const auto imageSize = static_cast<std::uint32_t>(rows.size());
    std::vector<std::uint8_t> out;
    out.reserve(pixelOffset + imageSize);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, pixelOffset + imageSize);
    PutU32(out, 0);  // two reserved words
    PutU32(out, pixelOffset);
    PutU32(out, kInfoHeaderSize);
    PutU32(out, static_cast<std::uint32_t>(frame.width));
    PutU32(out, static_cast<std::uint32_t>(frame.height));  // positive: bottom-up rows
    PutU16(out, 1);
    PutU16(out, bitsPerPixel);
    PutU32(out, 0);  // uncompressed
    PutU32(out, imageSize);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, colors);
    PutU32(out, 0);
    for (std::uint32_t i = 0; i < colors; ++i) {
        out.push_back(palette[3 * i + 2]);
        out.push_back(palette[3 * i + 1]);
        out.push_back(palette[3 * i]);
        out.push_back(0);
    }
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

}  // namespace

std::vector<std::uint8_t> BitmapFile(const Frame& frame) {
    return File(frame, 8, static_cast<std::uint32_t>(frame.colorCount), frame.colorTable.data(),
                frame.pixels);
}

std::vector<std::uint8_t> MaskFile(const Frame& frame) {
    static constexpr std::uint8_t kBlackWhite[6] = {0, 0, 0, 255, 255, 255};
    return File(frame, 1, 2, kBlackWhite, frame.mask);
}

}  // namespace norvane::gif
