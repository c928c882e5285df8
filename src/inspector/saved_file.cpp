#include "inspector/saved_file.h"

#include <algorithm>
#include <cstdlib>

#include "clipboard/standard_formats.h"
#include "inspector/data_headers.h"
#include "inspector/format_inspection.h"
#include "util/little_endian.h"
#include "util/placeable_metafile.h"

namespace norvane {
namespace {

constexpr std::uint32_t kBmpFileHeaderSize = 14;
constexpr std::int64_t kHimetricPerInch = 2540;

FileContent Problem(std::string text) {
    FileContent content;
    content.problem = std::move(text);
    return content;
}

// Units to the inch of the fixed mapping modes, 0 for the others.
std::int64_t UnitsPerInch(std::int32_t mappingMode) {
    switch (mappingMode) {
        case 1:  // MM_TEXT: pixels, taken at 96 to the inch
            return 96;
        case 2:  // MM_LOMETRIC
            return 254;
        case 3:  // MM_HIMETRIC
            return 2540;
        case 4:  // MM_LOENGLISH
            return 100;
        case 5:  // MM_HIENGLISH
            return 1000;
        case 6:  // MM_TWIPS
            return 1440;
    }
    return 0;
}

struct Placement {
    std::int64_t left = 0, top = 0, right = 0, bottom = 0, unitsPerInch = 0;
};

// The picture's box in the metafile's own units: its window when it sets
// one (the extents then give the inches it covers), else its extents.
Placement PlacementOf(const MetafilePictureHeader& h) {
    Placement p;
    if (const std::int64_t fixed = UnitsPerInch(h.mappingMode)) {
        p = {0, 0, std::abs(std::int64_t{h.xExt}), std::abs(std::int64_t{h.yExt}), fixed};
    } else if (h.hasWindow && h.windowWidth != 0 && h.windowHeight != 0) {
        const std::int64_t width = std::abs(std::int64_t{h.windowWidth});
        p = {h.windowX, h.windowY, h.windowX + width,
             h.windowY + std::abs(std::int64_t{h.windowHeight}),
             h.xExt > 0 ? std::max<std::int64_t>(1, width * kHimetricPerInch / h.xExt) : 96};
    } else if (h.xExt > 0 && h.yExt > 0) {
        p = {0, 0, h.xExt, h.yExt, kHimetricPerInch};
    }
    if (p.right <= p.left || p.bottom <= p.top) p = {0, 0, 1000, 1000, 1000};  // no size given
    // Halved together until they fit the header's 16-bit fields.
    const auto fits = [](std::int64_t v) { return v >= -32768 && v <= 32767; };
    while (!fits(p.left) || !fits(p.top) || !fits(p.right) || !fits(p.bottom) ||
           p.unitsPerInch > 65535) {
        p = {p.left / 2, p.top / 2, p.right / 2, p.bottom / 2,
             std::max<std::int64_t>(1, p.unitsPerInch / 2)};
    }
    if (p.right == p.left) ++p.right;
    if (p.bottom == p.top) ++p.bottom;
    return p;
}

}  // namespace

const char* SavedFileExtension(unsigned format, DataKind kind, bool isText) {
    switch (kind) {
        case DataKind::Bitmap:
            return "bmp";
        case DataKind::EnhancedMetafile:
            return "emf";
        case DataKind::MetafilePicture:
            return "wmf";
        default:
            break;
    }
    if (format == kDibFormat || format == kDibV5Format) return "bmp";
    return isText ? "txt" : "bin";
}

FileContent BmpFileFromDib(std::span<const std::uint8_t> dib) {
    const auto reading = ReadDibHeader(dib);
    if (!reading.header || !reading.problem.empty())
        return Problem("The bitmap cannot be saved as a .bmp file. " + reading.problem);
    // The file's size is a 32-bit field.
    const std::uint64_t fileBytes = std::uint64_t{kBmpFileHeaderSize} + dib.size();
    if (fileBytes > 0xFFFFFFFFu)
        return Problem("The bitmap cannot be saved as a .bmp file: it takes " +
                       std::to_string(dib.size()) + " bytes, more than a .bmp file can hold.");
    FileContent content;
    content.prefix = {'B', 'M'};
    PutU32(content.prefix, static_cast<std::uint32_t>(fileBytes));
    PutU32(content.prefix, 0);  // two reserved words
    PutU32(content.prefix,
           static_cast<std::uint32_t>(kBmpFileHeaderSize + reading.header->BitsOffset()));
    content.body = dib;
    return content;
}

FileContent PlaceableFromMetafilePicture(std::span<const std::uint8_t> picture) {
    const auto reading = ReadMetafilePictureHeader(picture);
    if (!reading.header || !reading.problem.empty())
        return Problem("The metafile picture cannot be saved as a .wmf file. " + reading.problem);
    const Placement p = PlacementOf(*reading.header);
    FileContent content;
    content.prefix = PlaceableHeaderBytes(
        static_cast<std::int16_t>(p.left), static_cast<std::int16_t>(p.top),
        static_cast<std::int16_t>(p.right), static_cast<std::int16_t>(p.bottom),
        static_cast<std::uint16_t>(p.unitsPerInch));
    content.body = picture.subspan(kMetafilePictureFields,
                                   static_cast<std::size_t>(reading.header->metafileBytes));
    return content;
}

FileContent SavedFileContent(unsigned format, const FormatData& data) {
    switch (data.kind) {
        case DataKind::Bitmap:
            return BmpFileFromDib(data.bytes);
        case DataKind::EnhancedMetafile: {
            // Byte for byte, but never a file whose header claims more than it holds.
            const auto reading = ReadEnhMetafileHeader(data.bytes);
            if (!reading.header || reading.header->bytes > data.bytes.size())
                return Problem("The enhanced metafile cannot be saved as an .emf file. " +
                               reading.problem);
            return FileContent{{}, data.bytes, {}};
        }
        case DataKind::MetafilePicture:
            return PlaceableFromMetafilePicture(data.bytes);
        case DataKind::OwnerDisplay:
        case DataKind::UnknownHandle:
            return Problem("There is no data to save: the format holds " +
                           std::string(KindText(data.kind)) + ".");
        default:
            break;
    }
    if (data.kind == DataKind::MemoryBlock && (format == kDibFormat || format == kDibV5Format))
        return BmpFileFromDib(data.bytes);
    return FileContent{{}, data.bytes, {}};
}

}  // namespace norvane
