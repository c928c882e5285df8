// What "Save As..." writes for a format's data: a memory block byte for
// byte, a bitmap or DIB as a .bmp file, an enhanced metafile as .emf, a
// metafile picture as a placeable .wmf. The file is a short header of its
// own followed by (part of) the data, so that a large block is not copied.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "clipboard/format_data.h"

namespace norvane {

struct FileContent {
    std::vector<std::uint8_t> prefix;  // written first
    std::span<const std::uint8_t> body;
    std::string problem;  // not empty: nothing can be written, and why
};

// The extension ("bin", "bmp", "emf", "wmf", "txt") the save dialog proposes.
const char* SavedFileExtension(unsigned format, DataKind kind, bool isText);

// The body lies in `data`, which must outlive the content.
FileContent SavedFileContent(unsigned format, const FormatData& data);

// A .bmp file's header (14 bytes) for a packed DIB; empty with the reason
// when the DIB is not whole.
FileContent BmpFileFromDib(std::span<const std::uint8_t> dib);

// A placeable metafile from a metafile picture (see FormatData): its header
// sized from the picture's extents, then the metafile.
FileContent PlaceableFromMetafilePicture(std::span<const std::uint8_t> picture);

}  // namespace norvane
