#include "clipboard/format_data.h"

namespace norvane {

DataKind KindOfFormat(unsigned format) {
    switch (format) {
        case 2:     // CF_BITMAP
        case 0x82:  // CF_DSPBITMAP
            return DataKind::Bitmap;
        case 9:  // CF_PALETTE
            return DataKind::Palette;
        case 3:     // CF_METAFILEPICT
        case 0x83:  // CF_DSPMETAFILEPICT
            return DataKind::MetafilePicture;
        case 14:    // CF_ENHMETAFILE
        case 0x8E:  // CF_DSPENHMETAFILE
            return DataKind::EnhancedMetafile;
        case 0x80:  // CF_OWNERDISPLAY
            return DataKind::OwnerDisplay;
    }
    // Private formats and GDI object formats hold handles the system cannot
    // describe; everything else is a global memory block.
    if (format >= 0x200 && format <= 0x3FF) return DataKind::UnknownHandle;
    return DataKind::MemoryBlock;
}

const char* KindText(DataKind kind) {
    switch (kind) {
        case DataKind::MemoryBlock:
            return "a memory block";
        case DataKind::Bitmap:
            return "a bitmap";
        case DataKind::Palette:
            return "a palette";
        case DataKind::MetafilePicture:
            return "a metafile picture";
        case DataKind::EnhancedMetafile:
            return "an enhanced metafile";
        case DataKind::OwnerDisplay:
            return "owner display";
        case DataKind::UnknownHandle:
            break;
    }
    return "a handle whose kind is unknown";
}

}  // namespace norvane
