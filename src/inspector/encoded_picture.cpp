#include "inspector/encoded_picture.h"

#include <algorithm>
#include <array>
#include <new>

#include "clipboard/packed_dib.h"
#include "inspector/data_headers.h"
#include "util/checked_math.h"
#include "util/little_endian.h"

namespace norvane {
namespace {

struct NamedCoding {
    std::string_view name;
    PictureCoding coding;
};
// Registered names under which programs place pictures in their own coding.
constexpr std::array kPictureNames{
    NamedCoding{"PNG", PictureCoding::Png},         NamedCoding{"image/png", PictureCoding::Png},
    NamedCoding{"JFIF", PictureCoding::Jpeg},       NamedCoding{"JPEG", PictureCoding::Jpeg},
    NamedCoding{"JPG", PictureCoding::Jpeg},        NamedCoding{"image/jpeg", PictureCoding::Jpeg},
    NamedCoding{"image/jpg", PictureCoding::Jpeg},  NamedCoding{"GIF", PictureCoding::Gif},
    NamedCoding{"image/gif", PictureCoding::Gif},   NamedCoding{"image/bmp", PictureCoding::Bmp},
    NamedCoding{"image/x-bmp", PictureCoding::Bmp}, NamedCoding{"TIFF", PictureCoding::Tiff},
    NamedCoding{"TIF", PictureCoding::Tiff},        NamedCoding{"image/tiff", PictureCoding::Tiff},
};

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view signature) {
    return bytes.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), bytes.begin(),
                      [](char s, std::uint8_t b) { return static_cast<std::uint8_t>(s) == b; });
}

std::uint32_t BigU16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 8 | bytes[at + 1];
}
std::uint32_t BigU32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return BigU16(bytes, at) << 16 | BigU16(bytes, at + 2);
}

constexpr std::string_view kPngSignature{"\x89PNG\r\n\x1a\n", 8};

// The frame header (SOF0..SOF15 but DHT, JPG and DAC) of a JPEG stream,
// marker by marker, never past the block.
std::optional<PictureSize> JpegSize(std::span<const std::uint8_t> bytes) {
    std::size_t at = 2;
    while (at + 2 <= bytes.size()) {
        if (bytes[at] != 0xFF) return std::nullopt;
        const std::uint8_t marker = bytes[at + 1];
        if (marker == 0xFF) {  // fill
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) {  // no length
            at += 2;
            continue;
        }
        if (at + 4 > bytes.size()) return std::nullopt;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > bytes.size()) return std::nullopt;
            return PictureSize{BigU16(bytes, at + 7), BigU16(bytes, at + 5)};
        }
        const std::uint32_t length = BigU16(bytes, at + 2);
        if (length < 2) return std::nullopt;
        at += 2 + length;
    }
    return std::nullopt;
}

}  // namespace

const char* CodingName(PictureCoding coding) {
    switch (coding) {
        case PictureCoding::Png:
            return "PNG";
        case PictureCoding::Jpeg:
            return "JPEG";
        case PictureCoding::Gif:
            return "GIF";
        case PictureCoding::Bmp:
            return "BMP";
        case PictureCoding::Tiff:
            return "TIFF";
        case PictureCoding::None:
            break;
    }
    return "none";
}

PictureCoding PictureCodingOf(std::string_view registeredName,
                              std::span<const std::uint8_t> bytes) {
    if (registeredName.empty()) return PictureCoding::None;  // the system's own formats
    // Two letters are too weak a sign of a BMP file: its name says it.
    const PictureCoding bySignature = SignatureCoding(bytes);
    if (bySignature != PictureCoding::None && bySignature != PictureCoding::Bmp) return bySignature;
    for (const NamedCoding& named : kPictureNames)
        if (named.name == registeredName) return named.coding;
    return PictureCoding::None;
}

PictureCoding SignatureCoding(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, kPngSignature)) return PictureCoding::Png;
    if (StartsWith(bytes, "\xFF\xD8\xFF")) return PictureCoding::Jpeg;
    if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) return PictureCoding::Gif;
    if (StartsWith(bytes, {"II*\0", 4}) || StartsWith(bytes, {"MM\0*", 4}))
        return PictureCoding::Tiff;
    if (StartsWith(bytes, "BM")) return PictureCoding::Bmp;
    return PictureCoding::None;
}

std::string SignatureRefusal(PictureCoding coding, std::span<const std::uint8_t> bytes) {
    if (SignatureCoding(bytes) == coding) return {};
    return "its bytes do not begin with the " + std::string(CodingName(coding)) + " signature";
}

std::optional<PictureSize> ClaimedSize(PictureCoding coding, std::span<const std::uint8_t> bytes) {
    switch (coding) {
        case PictureCoding::Png:
            // The signature, then IHDR's length and type, its width and height.
            if (bytes.size() < 24 || !StartsWith(bytes, kPngSignature) ||
                !StartsWith(bytes.subspan(12), "IHDR"))
                return std::nullopt;
            return PictureSize{BigU32(bytes, 16), BigU32(bytes, 20)};
        case PictureCoding::Gif:
            if (bytes.size() < 10) return std::nullopt;
            return PictureSize{ReadU16(bytes, 6), ReadU16(bytes, 8)};
        case PictureCoding::Jpeg:
            return JpegSize(bytes);
        case PictureCoding::Bmp: {
            // The 14-byte file header, then a core header (16-bit sides) or a longer one.
            if (bytes.size() < 26 || !StartsWith(bytes, "BM")) return std::nullopt;
            if (ReadU32(bytes, 14) == 12)
                return PictureSize{ReadU16(bytes, 18), ReadU16(bytes, 20)};
            const std::int64_t width = ReadI32(bytes, 18), height = ReadI32(bytes, 22);
            return PictureSize{static_cast<std::uint32_t>(width < 0 ? -width : width),
                               static_cast<std::uint32_t>(height < 0 ? -height : height)};
        }
        case PictureCoding::Tiff:
        case PictureCoding::None:
            break;
    }
    return std::nullopt;
}

std::string SizeRefusal(std::uint64_t width, std::uint64_t height) {
    const auto pixels = CheckedMultiply(width, height);
    if (width == 0 || height == 0)
        return "its header gives a size of " + std::to_string(width) + " x " +
               std::to_string(height) + " pixels";
    if (!pixels || *pixels > kMostPreviewPixels)
        return "its header claims " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels, more than the preview decodes (" + std::to_string(kMostPreviewPixels) +
               " pixels)";
    return {};
}

std::vector<std::uint8_t> AlphaDib(std::uint32_t width, std::uint32_t height) {
    // Within kMostPreviewPixels the sum fits in 32 bits.
    if (!SizeRefusal(width, height).empty()) throw std::bad_alloc();
    const std::size_t size = kAlphaDibHeaderBytes + std::size_t{width} * height * 4;
    std::vector<std::uint8_t> dib;
    dib.reserve(size);
    PutU32(dib, kDibInfoHeaderSize);
    PutU32(dib, width);
    PutU32(dib, static_cast<std::uint32_t>(-static_cast<std::int32_t>(height)));  // top-down
    PutU16(dib, 1);
    PutU16(dib, 32);
    PutU32(dib, kBiAlphaBitfields);
    dib.resize(kDibInfoHeaderSize, 0);
    for (std::uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
        PutU32(dib, mask);
    dib.resize(size, 0);
    return dib;
}

std::string DecodedPictureLine(PictureCoding coding, const DecodedPicture& picture) {
    if (picture.dib.empty()) return NotDecodedLine(picture.failure);
    std::string line = "\r\nPicture (" + std::string(CodingName(coding)) +
                       "): " + std::to_string(picture.width) + " x " +
                       std::to_string(picture.height) + " pixels";
    if (picture.bitsPerPixel != 0)
        line += ", " + std::to_string(picture.bitsPerPixel) + " bits per pixel";
    return line;
}

std::string NotDecodedLine(const std::string& why) {
    return "\r\nThe picture could not be decoded: " + why + ".";
}

}  // namespace norvane
