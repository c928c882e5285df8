// Pictures other programs place in their own coding ("PNG", "JFIF",
// "image/png", "GIF" ...): which coding a block is in, the size its header
// claims, read within the block, and whether the preview decodes one that
// big. Decoded pictures are held as packed 32-bit DIBs with alpha, drawn as
// any other DIB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "clipboard/packed_dib.h"  // kMostPreviewPixels

namespace norvane {

enum class PictureCoding { None, Png, Jpeg, Gif, Bmp, Tiff };

// "PNG", "JPEG", ... as the header names it.
const char* CodingName(PictureCoding coding);

// The coding of a registered format's block: by the bytes' signature first,
// then by the format's name (a name that promises a picture over bytes
// that are none is a picture that cannot be decoded). None for anything
// else.
PictureCoding PictureCodingOf(std::string_view registeredName, std::span<const std::uint8_t> bytes);

// The coding whose whole signature the bytes begin with (PNG's eight
// bytes, JPEG's FF D8 FF, "GIF87a" or "GIF89a", a BMP file's "BM", TIFF's
// "II*\0" or "MM\0*"); None for any other. The decoder of this coding, and
// no other, is given the bytes.
PictureCoding SignatureCoding(std::span<const std::uint8_t> bytes);

// Why bytes said to be in `coding` are not decoded: they do not begin with
// its signature. Empty when they do.
std::string SignatureRefusal(PictureCoding coding, std::span<const std::uint8_t> bytes);

struct PictureSize {
    std::uint32_t width = 0, height = 0;
};

// The size the picture's header claims, read within the block; none when
// the block ends before it says. TIFF keeps its size in a directory
// anywhere in the file: none, the decoder's frame says it.
std::optional<PictureSize> ClaimedSize(PictureCoding coding, std::span<const std::uint8_t> bytes);

// Why a picture of this size is not decoded; empty when it may be.
std::string SizeRefusal(std::uint64_t width, std::uint64_t height);

// A decoded picture: a packed top-down 32-bit DIB whose 40-byte header is
// followed by its masks (BI_ALPHABITFIELDS: red, green, blue, alpha), its
// pixels blue, green, red, alpha in each 32-bit word, alpha not
// premultiplied; empty with `failure` when it could not be decoded.
// Whether a decode under way is still wanted; asked between its steps.
using DecodeCancelled = std::function<bool()>;

struct DecodedPicture {
    std::vector<std::uint8_t> dib;
    std::uint32_t width = 0, height = 0;
    unsigned bitsPerPixel = 0;  // of the picture as coded; 0 when unknown
    std::string failure;        // why it could not be decoded
};

inline constexpr std::size_t kAlphaDibHeaderBytes = 40 + 16;

// The DIB of a picture of this size, its pixels zero (clear); throws
// std::bad_alloc when they cannot be had. The size must have passed
// SizeRefusal.
std::vector<std::uint8_t> AlphaDib(std::uint32_t width, std::uint32_t height);

// The header's line about a decoded picture, or about why it was not:
// "\r\nPicture (PNG): 4 x 2 pixels, 32 bits per pixel".
std::string DecodedPictureLine(PictureCoding coding, const DecodedPicture& picture);
// "\r\nThe picture could not be decoded: WHY."
std::string NotDecodedLine(const std::string& why);

}  // namespace norvane
