// Pictures in their own codings, as programs place them under "PNG",
// "JFIF" and "GIF", for clipboard_helper and the tests that read them back.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gif/gif_builder.h"

namespace norvane::testing {

// The PNG: kPngWidth x kPngHeight, its left half opaque red, its right half
// blue at alpha 0x80; large enough to scroll in the preview.
inline constexpr std::uint32_t kPngWidth = 1200, kPngHeight = 400;

inline std::uint32_t PngSamplePixel(std::uint32_t x, std::uint32_t) {
    return x < kPngWidth / 2 ? 0xFF0000FF : 0x0000FF80;  // red, green, blue, alpha
}

inline void PutBig32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift & 0xFF);
}

inline std::uint32_t Crc32(const std::string& bytes, std::size_t from) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        crc ^= static_cast<std::uint8_t>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (crc & 1 ? 0xEDB88320 : 0);
    }
    return ~crc;
}

inline void PutChunk(std::string& png, const char* type, const std::string& data) {
    PutBig32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t at = png.size();
    png += type;
    png += data;
    PutBig32(png, Crc32(png, at));
}

// A PNG of 8-bit RGBA rows, each pixel 0xRRGGBBAA, its zlib stream of
// stored (uncompressed) blocks: written plainly, read by every decoder.
template <class PixelOf>
std::string Png(std::uint32_t width, std::uint32_t height, PixelOf pixelOf) {
    std::string raw;
    for (std::uint32_t y = 0; y < height; ++y) {
        raw += '\0';  // no filter
        for (std::uint32_t x = 0; x < width; ++x) PutBig32(raw, pixelOf(x, y));
    }
    std::string zlib = "\x78\x01";
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
        zlib += static_cast<char>(at + length == raw.size() ? 1 : 0);
        for (std::size_t value : {length, ~length & 0xFFFF})
            zlib += {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
        zlib += raw.substr(at, length);
    }
    std::uint32_t a = 1, b = 0;
    for (char c : raw) {
        a = (a + static_cast<std::uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(zlib, b << 16 | a);
    std::string ihdr;
    PutBig32(ihdr, width);
    PutBig32(ihdr, height);
    ihdr += {8, 6, 0, 0, 0};  // 8 bits, RGBA, deflate, adaptive filters, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", ihdr);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", "");
    return png;
}

inline std::string PngSample() {
    return Png(kPngWidth, kPngHeight, PngSamplePixel);
}

// A PNG whose header claims `width` x `height` pixels and that holds nothing more.
inline std::string PngClaiming(std::uint32_t width, std::uint32_t height) {
    std::string ihdr;
    PutBig32(ihdr, width);
    PutBig32(ihdr, height);
    ihdr += {8, 6, 0, 0, 0};
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", ihdr);
    return png;
}

// The JPEG: 16 x 16 pixels of kJpegColour (0xRRGGBB), without chroma
// subsampling, at the highest quality.
inline constexpr std::uint32_t kJpegColour = 0x0080FF;
// Where its frame header's height and width (16 bits each, big-endian) lie.
inline constexpr std::size_t kJpegFrameSize = 163;
inline const std::vector<std::uint8_t> kJpegSample = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xFF, 0xDB, 0x00, 0x43, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xFF, 0xC0,
    0x00, 0x11, 0x08, 0x00, 0x10, 0x00, 0x10, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11,
    0x01, 0xFF, 0xC4, 0x00, 0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0xFF, 0xC4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xC4,
    0x00, 0x15, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x0A, 0xFF, 0xC4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xDA, 0x00, 0x0C, 0x03,
    0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0x8F, 0xD5, 0x50, 0x9A, 0xF0, 0x00, 0x01,
    0xFF, 0xD9};

// The GIF: a 10 x 6 screen, its frame at (1, 1), 8 x 4 pixels, its left
// half red and its right half transparent; the screen's border clear.
inline std::string GifSample() {
    gif::testing::GifBuilder builder("GIF89a", 10, 6, 2);
    builder.GraphicControl(0, 0, true, 3);
    std::vector<int> pixels;
    for (int i = 0; i < 32; ++i) pixels.push_back(i % 8 < 4 ? 0 : 3);
    builder.ImageFromPixels({.left = 1, .top = 1, .width = 8, .height = 4}, pixels);
    std::vector<std::uint8_t> bytes = builder.Trailer().Bytes();
    // The global table follows the 13-byte header and screen descriptor:
    // red, green, blue, white.
    const std::array<std::uint8_t, 12> colours{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    for (std::size_t i = 0; i < colours.size(); ++i) bytes[13 + i] = colours[i];
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace norvane::testing
