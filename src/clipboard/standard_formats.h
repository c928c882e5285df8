// The system's predefined clipboard formats by number (CF_TEXT ...), and the
// kind of handle each one's data comes in.
#pragma once

namespace norvane {

inline constexpr unsigned kTextFormat = 1;
inline constexpr unsigned kBitmapFormat = 2;
inline constexpr unsigned kMetafilePictureFormat = 3;
inline constexpr unsigned kOemTextFormat = 7;
inline constexpr unsigned kDibFormat = 8;
inline constexpr unsigned kPaletteFormat = 9;
inline constexpr unsigned kUnicodeTextFormat = 13;
inline constexpr unsigned kEnhMetafileFormat = 14;
inline constexpr unsigned kFileListFormat = 15;  // CF_HDROP
inline constexpr unsigned kLocaleFormat = 16;
inline constexpr unsigned kDibV5Format = 17;  // the list names it "CF_MAX", as older headers did
inline constexpr unsigned kOwnerDisplayFormat = 0x80;
inline constexpr unsigned kDisplayTextFormat = 0x81;
inline constexpr unsigned kDisplayBitmapFormat = 0x82;
inline constexpr unsigned kDisplayMetafilePictureFormat = 0x83;
inline constexpr unsigned kDisplayEnhMetafileFormat = 0x8E;
// Private formats (CF_PRIVATEFIRST ...) and GDI object formats (CF_GDIOBJFIRST ...).
inline constexpr unsigned kPrivateFirstFormat = 0x200;
inline constexpr unsigned kPrivateLastFormat = 0x2FF;
inline constexpr unsigned kGdiObjectFirstFormat = 0x300;
inline constexpr unsigned kGdiObjectLastFormat = 0x3FF;

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
constexpr DataKind KindOfFormat(unsigned format) {
    switch (format) {
        case kBitmapFormat:
        case kDisplayBitmapFormat:
            return DataKind::Bitmap;
        case kPaletteFormat:
            return DataKind::Palette;
        case kMetafilePictureFormat:
        case kDisplayMetafilePictureFormat:
            return DataKind::MetafilePicture;
        case kEnhMetafileFormat:
        case kDisplayEnhMetafileFormat:
            return DataKind::EnhancedMetafile;
        case kOwnerDisplayFormat:
            return DataKind::OwnerDisplay;
    }
    // Private formats and GDI object formats hold handles the system cannot
    // describe; everything else is a global memory block.
    if (format >= kPrivateFirstFormat && format <= kGdiObjectLastFormat)
        return DataKind::UnknownHandle;
    return DataKind::MemoryBlock;
}

}  // namespace norvane
