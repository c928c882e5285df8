// The header readers, the saved files' headers and the preview's pixels on
// any block: no read past the block (ASan), and what they report agrees with
// the block's size. The sizes are checked against the block's own fields,
// summed here without wrapping, so that a reader whose sum wraps cannot
// agree with itself.
#include "inspector/data_headers.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "checked_sum.h"
#include "inspector/encoded_picture.h"
#include "inspector/format_inspection.h"
#include "inspector/gif_first_frame.h"
#include "inspector/hex_dump.h"
#include "inspector/picture_pixels.h"
#include "inspector/saved_file.h"
#include "util/little_endian.h"
#include "util/placeable_metafile.h"

namespace {

using norvane::ReadU16;
using norvane::ReadU32;
using norvane::fuzz::Check;
using norvane::fuzz::Product;
using norvane::fuzz::Sum;
using Block = std::span<const std::uint8_t>;

// What a DIB's header fields claim to follow it, at the least: masks, the
// colour table and, when uncompressed, the rows.
struct DibClaims {
    std::uint64_t headerSize = 0, bitsOffset = 0, rowBytes = 0, needed = 0;
    bool positiveSize = false;
};

DibClaims ClaimsOf(Block block) {
    DibClaims c;
    c.headerSize = ReadU32(block, 0);
    const bool core = c.headerSize == 12;
    const std::int64_t width = core ? ReadU16(block, 4) : norvane::ReadI32(block, 4);
    const std::int64_t height = core ? ReadU16(block, 6) : norvane::ReadI32(block, 8);
    const std::uint16_t bits = ReadU16(block, core ? 10 : 14);
    const std::uint32_t compression = core ? 0 : ReadU32(block, 16);
    const std::uint64_t colorsUsed = core ? 0 : ReadU32(block, 32);
    c.positiveSize = width > 0 && height != 0;

    // Never more entries than a depth of 8 bits or less can index, and (as
    // GDI counts them) never more than 256.
    const std::uint64_t most = bits >= 1 && bits <= 8 ? std::uint64_t{1} << bits : 256;
    std::uint64_t entries = std::min(colorsUsed, most);
    if (colorsUsed == 0 && bits >= 1 && bits <= 8) entries = most;
    std::uint64_t masks = 0;
    if (c.headerSize == 40 && compression == 3) masks = 12;
    if (c.headerSize == 40 && compression == 6) masks = 16;
    c.bitsOffset = Sum({c.headerSize, masks, Product(entries, core ? 3 : 4)});
    if (compression == 0 || compression == 3 || compression == 6) {
        const std::uint64_t stride = Product((Product(width > 0 ? width : 0, bits) + 31) / 32, 4);
        c.rowBytes = Product(stride, height < 0 ? -height : height);
    }
    c.needed = Sum({c.bitsOffset, c.rowBytes});
    return c;
}

void CheckDib(Block block) {
    const auto dib = norvane::ReadDibHeader(block);
    const auto bmp = norvane::BmpFileFromDib(block);
    // A .bmp is offered exactly when the DIB is whole.
    Check(bmp.problem.empty() == (dib.header && dib.problem.empty()));
    if (!dib.header || !dib.problem.empty()) return;

    Check(block.size() >= 12 && ReadU32(block, 0) <= block.size());
    const DibClaims claims = ClaimsOf(block);
    Check(claims.positiveSize);
    Check(claims.needed <= block.size());
    const auto& h = *dib.header;
    Check(h.pixelBytes &&
          Sum({h.headerSize, h.maskBytes, h.colorTableBytes, *h.pixelBytes}) <= block.size());

    // The file holds what its header says, and its rows start within it.
    Check(bmp.prefix.size() == 14 && bmp.body.size() == block.size());
    const std::uint64_t fileSize = ReadU32(bmp.prefix, 2), bitsAt = ReadU32(bmp.prefix, 10);
    Check(fileSize == Sum({14, block.size()}));
    Check(bitsAt >= Sum({14, claims.headerSize}) && Sum({bitsAt, claims.rowBytes}) <= fileSize);
}

// A channel as the masks give it, scaled to 0..255 to the nearest.
std::uint32_t Scaled(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    return static_cast<std::uint32_t>(std::lround(static_cast<double>((pixel & mask) >> shift) *
                                                  255.0 / static_cast<double>(mask >> shift)));
}

// Each channel of a blended pixel lies between the picture's colour and the
// checkerboard's; an opaque pixel shows its colour, a transparent one the
// square it lies on.
void CheckComposed(std::uint32_t shown, std::uint32_t pixel, const norvane::ChannelMasks& masks,
                   std::int64_t x, std::int64_t y) {
    using namespace norvane;
    Check((shown >> 24) == 0);
    const std::uint32_t square =
        (x / kCheckerSquare + y / kCheckerSquare) % 2 ? kCheckerDark : kCheckerLight;
    const std::uint32_t colour = Scaled(pixel, masks.red) << 16 | Scaled(pixel, masks.green) << 8 |
                                 Scaled(pixel, masks.blue);
    const std::uint32_t alpha = pixel & masks.alpha;
    if (alpha == masks.alpha) Check(shown == colour);
    if (alpha == 0) Check(shown == square);
    for (int at : {0, 8, 16}) {
        const std::uint32_t s = shown >> at & 0xFF, c = colour >> at & 0xFF,
                            u = square >> at & 0xFF;
        Check(std::min(c, u) <= s && s <= std::max(c, u));
    }
}

// The preview's pixels of a DIB it shows (the same guard as the picture
// view's): masks only for a 32-bit one with alpha, and parts of at most
// 8 x 8 pixels at its corners and where the block's last bytes say,
// composed within the block.
void CheckPicturePixels(Block block) {
    using namespace norvane;
    const auto reading = ReadDibHeader(block);
    if (!reading.header || !reading.problem.empty() || !reading.header->HasPlainRows()) return;
    const DibHeader& h = *reading.header;
    const auto masks = AlphaMasksOf(h, block);
    if (!masks) return;
    Check(h.bitsPerPixel == 32 && masks->alpha != 0);

    const std::int64_t width = h.width, height = h.height < 0 ? -std::int64_t{h.height} : h.height;
    const std::int64_t partWidth = std::min<std::int64_t>(width, 8),
                       partHeight = std::min<std::int64_t>(height, 8);
    const std::uint32_t last = block.size() >= 4 ? ReadU32(block, block.size() - 4) : 0;
    const std::int64_t places[][2] = {{0, 0},
                                      {width - partWidth, height - partHeight},
                                      {std::int64_t{last & 0xFFFF} % (width - partWidth + 1),
                                       std::int64_t{last >> 16} % (height - partHeight + 1)}};
    const std::uint64_t stride = Product(width, 4);
    for (const auto& [x, y] : places) {
        const auto shown =
            ComposeOverCheckerboard(h, block, *masks, static_cast<int>(x), static_cast<int>(y),
                                    static_cast<int>(partWidth), static_cast<int>(partHeight));
        Check(shown.size() == static_cast<std::uint64_t>(partWidth * partHeight));
        for (std::int64_t row = 0; row < partHeight; ++row) {
            const std::int64_t fromTop = y + row;
            const std::int64_t stored = h.height < 0 ? fromTop : height - 1 - fromTop;
            for (std::int64_t column = 0; column < partWidth; ++column) {
                const std::uint64_t at =
                    Sum({h.BitsOffset(), Product(static_cast<std::uint64_t>(stored), stride),
                         static_cast<std::uint64_t>(x + column) * 4});
                Check(Sum({at, 4}) <= block.size());
                CheckComposed(shown[static_cast<std::size_t>(row * partWidth + column)],
                              ReadU32(block, static_cast<std::size_t>(at)), *masks, x + column,
                              fromTop);
            }
        }
    }
}

void CheckMetafilePicture(Block block) {
    const auto picture = norvane::ReadMetafilePictureHeader(block);
    if (picture.header && picture.problem.empty())
        Check(Product(ReadU32(block, 12 + 6), 2) <= block.size() - 12);
    // Bits that begin as an enhanced metafile are never taken for a Windows one.
    if (block.size() >= 12 + 44 && ReadU32(block, 12) == 1 && ReadU32(block, 12 + 40) == 0x464D4520)
        Check(!picture.header && !picture.problem.empty());

    const auto wmf = norvane::PlaceableFromMetafilePicture(block);
    if (!wmf.problem.empty()) return;
    Check(picture.header && wmf.body.size() == picture.header->metafileBytes);
    Check(wmf.body.data() >= block.data() &&
          wmf.body.data() + wmf.body.size() <= block.data() + block.size());
    // The metafile written holds all its header claims, and the placeable
    // header is one the program itself reads back.
    Check(wmf.body.size() >= 18 && Product(ReadU32(wmf.body, 6), 2) <= wmf.body.size());
    std::vector<std::uint8_t> file = wmf.prefix;
    file.insert(file.end(), wmf.body.begin(), wmf.body.end());
    Check(norvane::ReadPlaceableHeader(file).has_value());
}

void CheckEnhMetafile(Block block) {
    const auto emf = norvane::ReadEnhMetafileHeader(block);
    if (!emf.header || !emf.problem.empty()) return;
    // The header's own size lies between the 88 bytes of its fields and the
    // whole, which lies within the block.
    const std::uint32_t headerSize = ReadU32(block, 4), whole = ReadU32(block, 48);
    Check(88 <= headerSize && headerSize <= whole && whole <= block.size());
}

// A picture in its own coding: the size its header claims is read within
// the block, and a GIF within the preview's limit decodes into a DIB that
// holds all its header says.
void CheckEncodedPicture(Block block) {
    using namespace norvane;
    const PictureCoding signature = SignatureCoding(block);
    for (PictureCoding coding : {PictureCoding::Png, PictureCoding::Jpeg, PictureCoding::Gif,
                                 PictureCoding::Bmp, PictureCoding::Tiff}) {
        ClaimedSize(coding, block);
        // Only the decoder the signature names is given the bytes.
        Check(SignatureRefusal(coding, block).empty() == (coding == signature));
    }
    // A PNG's size is read only after its whole signature.
    if (ClaimedSize(PictureCoding::Png, block)) Check(signature == PictureCoding::Png);
    const auto claimed = ClaimedSize(PictureCoding::Gif, block);
    // Small screens only, also when a frame grows one: a fuzzer's run has no
    // room for many 256 MB pictures.
    if (PictureCodingOf("GIF", block) != PictureCoding::Gif || !claimed ||
        !SizeRefusal(claimed->width, claimed->height).empty() ||
        Product(claimed->width, claimed->height) > (1u << 16))
        return;
    const DecodedPicture picture = DecodeGifFirstFrame(block, 1u << 16);
    Check(picture.dib.empty() != picture.failure.empty());
    if (picture.dib.empty()) return;
    const auto dib = ReadDibHeader(picture.dib);
    Check(dib.header && dib.problem.empty());
    Check(picture.dib.size() ==
          Sum({kAlphaDibHeaderBytes, Product(Product(picture.width, picture.height), 4)}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that ASan sees any read past the block.
    auto* copy = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    std::copy(data, data + size, copy);
    const Block block(copy, size);
    using namespace norvane;

    CheckDib(block);
    CheckPicturePixels(block);
    CheckMetafilePicture(block);
    CheckEnhMetafile(block);
    CheckEncodedPicture(block);

    for (DataKind kind : {DataKind::Bitmap, DataKind::MetafilePicture, DataKind::EnhancedMetafile,
                          DataKind::Palette, DataKind::MemoryBlock}) {
        FormatReading reading;
        reading.data.kind = kind;
        reading.data.bytes.assign(block.begin(), block.end());
        Check(!HeaderText(8, reading).empty());
    }
    Check(TextBytes(block, TextEncoding::Utf16).size() % 2 == 0);
    Check(TextBytes(block, TextEncoding::Ansi).size() <= size);
    const std::size_t lines = DumpLineCount(size);
    if (lines) Check(!DumpLines(block, lines - 1, 3).empty());
    std::free(copy);
    return 0;
}
