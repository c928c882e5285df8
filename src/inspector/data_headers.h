// The headers of a bitmap (a DIB), a metafile picture and an enhanced
// metafile read out of a copied block: never past its end, and with what is
// wrong with the block told plainly, so that a block from another program
// is described honestly whatever it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace norvane {

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

// A metafile picture as copied: mapping mode, extents (3 x 32 bits), then a
// Windows metafile (its 18-byte header and records). A metafile converted
// from an enhanced one carries that in comments ("WMFC"), which the system
// makes in place of converting the records: it has the checks of any
// enhanced metafile, and so have bits that begin as one.
inline constexpr std::size_t kMetafilePictureFields = 12;
struct MetafilePictureHeader {
    std::int32_t mappingMode = 0, xExt = 0, yExt = 0;
    std::uint64_t metafileBytes = 0;  // as its header says (twice its count of words)
    std::uint32_t records = 0;        // counted up to the end record, within the block
    bool hasWindow = false;           // the first SetWindowOrg/SetWindowExt records
    std::int16_t windowX = 0, windowY = 0, windowWidth = 0, windowHeight = 0;
};
HeaderReading<MetafilePictureHeader> ReadMetafilePictureHeader(std::span<const std::uint8_t> block);

// ENHMETAHEADER: the first 88 bytes of an enhanced metafile, whose own size
// (nSize) is at least those 88 bytes and at most the whole's (nBytes).
struct EnhMetafileHeader {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;  // bounds, device units, inclusive
    std::uint32_t bytes = 0;                                // as its header says
    std::uint32_t records = 0;  // counted up to the end record, within the block
};
HeaderReading<EnhMetafileHeader> ReadEnhMetafileHeader(std::span<const std::uint8_t> block);

}  // namespace norvane
