// The headers of a metafile picture and an enhanced metafile read out of a
// copied block (a DIB's: clipboard/packed_dib.h): never past its end, and with what is
// wrong with the block told plainly, so that a block from another program
// is described honestly whatever it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "clipboard/packed_dib.h"

namespace norvane {

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
