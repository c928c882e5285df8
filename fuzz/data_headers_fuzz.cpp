// The header readers and the saved files' headers on any block: no read past
// the block (ASan), and what they report agrees with the block's size.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "inspector/data_headers.h"
#include "inspector/format_inspection.h"
#include "inspector/hex_dump.h"
#include "inspector/saved_file.h"
#include "util/placeable_metafile.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that ASan sees any read past the block.
    auto* copy = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    for (std::size_t i = 0; i < size; ++i) copy[i] = data[i];
    const std::span<const std::uint8_t> block(copy, size);
    using namespace norvane;

    const auto dib = ReadDibHeader(block);
    const auto bmp = BmpFileFromDib(block);
    // A .bmp is offered exactly when the DIB is whole, and then points at its rows.
    Check(bmp.problem.empty() == (dib.header && dib.problem.empty()));
    if (bmp.problem.empty()) {
        const auto needed = dib.header->NeededBytes();
        Check(needed && *needed <= size && dib.header->BitsOffset() <= *needed);
        Check(bmp.prefix.size() == 14 && bmp.body.size() == size);
    }

    const auto picture = ReadMetafilePictureHeader(block);
    const auto wmf = PlaceableFromMetafilePicture(block);
    if (wmf.problem.empty()) {
        Check(picture.header && wmf.body.size() == picture.header->metafileBytes);
        Check(wmf.body.data() + wmf.body.size() <= block.data() + size);
        // The header written is one the program itself reads back.
        std::vector<std::uint8_t> file = wmf.prefix;
        file.insert(file.end(), wmf.body.begin(), wmf.body.end());
        Check(ReadPlaceableHeader(file).has_value());
    }

    const auto emf = ReadEnhMetafileHeader(block);
    if (emf.header && emf.problem.empty()) Check(emf.header->bytes <= size);

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
