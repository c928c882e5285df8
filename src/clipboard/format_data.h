// One clipboard format's data as copied out of the clipboard: what kind of
// handle held it and its bytes, in a form that needs no handle any more.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace norvane {

enum class DataKind {
    MemoryBlock,       // the block's bytes
    Bitmap,            // a packed DIB: info header, colour table or masks, rows
    Palette,           // a LOGPALETTE: version, entry count, entries (red, green, blue, flags)
    MetafilePicture,   // mapping mode, x and y extent (3 x 32 bits), then the metafile's bits
    EnhancedMetafile,  // the enhanced metafile's bits
    OwnerDisplay,      // no data: the owner paints it
    UnknownHandle,     // a handle that is not what its format promises; no bytes
};

// The kind of handle a format's data comes in, by the format's number.
DataKind KindOfFormat(unsigned format);

// "a memory block", "a bitmap", ... as the inspector's header says it.
const char* KindText(DataKind kind);

struct FormatData {
    DataKind kind = DataKind::MemoryBlock;
    std::vector<std::uint8_t> bytes;
};

// The program whose window owns the clipboard's data.
struct OwnerProgram {
    unsigned long processId = 0;
    std::string fileName;  // without its folder; empty when it cannot be read
};

}  // namespace norvane
