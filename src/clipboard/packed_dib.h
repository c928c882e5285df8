// Packed DIBs: a DIB's rows counted in 64 bits, every sum checked; the
// sizes of the packed DIB a bitmap is copied into; and a DIB's header read
// out of its block, never past its end, with what is wrong with the block
// told plainly, whatever another program put there. A DIB that fails this
// reading is never handed to the system, which trusts its header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace norvane {

inline constexpr std::uint32_t kDibInfoHeaderSize = 40;  // BITMAPINFOHEADER

// No picture of more pixels than this is drawn or decoded, whatever its
// bytes (the viewer's, the inspector's preview): 256 MB of 32-bit pixels,
// which a 32-bit address space still finds room for.
inline constexpr std::uint64_t kMostPreviewPixels = std::uint64_t{64} << 20;

// Bytes a row: whole 32-bit words. None past 64 bits.
std::optional<std::uint64_t> DibStride(std::uint64_t width, unsigned bitsPerPixel);

// The rows of a DIB; a negative height gives them from the top down.
std::uint64_t DibRowCount(std::int32_t height);

// The sizes of a packed DIB that a bitmap is copied into: a 40-byte header,
// a whole colour table at 1, 4 and 8 bits, then the rows. None when the
// whole does not fit a block this process can hold (nor a DIB's 32-bit
// size fields).
struct PackedDibSizes {
    std::size_t colorTableBytes = 0, pixelBytes = 0, totalBytes = 0;
};
std::optional<PackedDibSizes> PackedDibSizesOf(std::int32_t width, std::int32_t height,
                                               unsigned bitsPerPixel);

// "1 byte", "40 bytes"; and "The block holds N bytes; WHAT M bytes."
std::string ByteCountText(std::uint64_t n);
std::string ShortBlockText(std::size_t size, std::uint64_t claimed, const char* what);

template <class Header>
struct HeaderReading {
    std::optional<Header> header;  // none when the block does not start with one
    std::string problem;           // empty when the block holds all its header promises
};

// BITMAPCOREHEADER (12 bytes), BITMAPINFOHEADER (40) and its longer forms
// (52, 56, 64, V4 108, V5 124 bytes), and what follows them. The colour
// table has as many entries as GDI reads (at most 256), so the offset of
// the rows is always small; the rows' size is counted in 64 bits and every
// sum with it is checked.
// The compressions of a DIB whose rows lie in it as plain pixels.
inline constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;

struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0, height = 0;  // a negative height: rows from the top down
    std::uint16_t planes = 0, bitsPerPixel = 0;
    std::uint32_t compression = 0;            // BI_RGB 0, BI_RLE8 1, BI_RLE4 2, BI_BITFIELDS 3, ...
    std::uint32_t colorsUsed = 0;             // as the header says; none in a core header
    std::uint64_t maskBytes = 0;              // colour masks after a 40-byte header
    std::uint64_t colorTableBytes = 0;        // 3 bytes an entry after a core header, else 4
    std::optional<std::uint64_t> pixelBytes;  // what the rows take; none past 64 bits

    std::uint64_t BitsOffset() const { return headerSize + maskBytes + colorTableBytes; }
    bool HasPlainRows() const {
        return compression == kBiRgb || compression == kBiBitfields ||
               compression == kBiAlphaBitfields;
    }
    // None when the rows cannot be counted.
    std::optional<std::uint64_t> NeededBytes() const;
};
HeaderReading<DibHeader> ReadDibHeader(std::span<const std::uint8_t> block);

// Why the system's own conversion of this DIB into a bitmap would read past
// what ReadDibHeader checked: at 1 to 8 bits a pixel it takes up to 256
// colours from the table, however few the pixels can index, and reads the
// rows that much further on. Empty when the header counts no more colours
// than its pixels can index.
std::string SystemConversionProblem(const DibHeader& h);

}  // namespace norvane
