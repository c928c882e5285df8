#include "inspector/win32_picture_preview.h"

#include <optional>
#include <utility>

#include "clipboard/standard_formats.h"
#include "inspector/data_headers.h"
#include "inspector/encoded_picture.h"
#include "inspector/gif_first_frame.h"
#include "inspector/win32_wic_picture.h"

namespace norvane {
namespace {

// The metafile made from bytes whose header check found them whole (a null
// one when the system does not take them); nothing when they are not whole.
std::optional<UniqueEnhMetafile> MetafileOf(DataKind kind, std::span<const std::uint8_t> bytes) {
    if (kind == DataKind::EnhancedMetafile) {
        const auto reading = ReadEnhMetafileHeader(bytes);
        if (!reading.header || !reading.problem.empty()) return std::nullopt;
        return UniqueEnhMetafile(SetEnhMetaFileBits(reading.header->bytes, bytes.data()));
    }
    const auto reading = ReadMetafilePictureHeader(bytes);
    if (!reading.header || !reading.problem.empty()) return std::nullopt;
    const MetafilePictureHeader& h = *reading.header;
    const METAFILEPICT picture{h.mappingMode, h.xExt, h.yExt, nullptr};
    return UniqueEnhMetafile(SetWinMetaFileBits(static_cast<UINT>(h.metafileBytes),
                                                bytes.data() + kMetafilePictureFields, nullptr,
                                                &picture));
}

DecodedPicture Decode(PictureCoding coding, std::span<const std::uint8_t> bytes) {
    DecodedPicture decoded;
    // Only the decoder of the coding the bytes' signature names sees them.
    decoded.failure = SignatureRefusal(coding, bytes);
    if (!decoded.failure.empty()) return decoded;
    // The size the header claims is checked before a decoder sees it; a
    // TIFF's is the decoder's frame's, checked before its pixels are read.
    if (coding != PictureCoding::Tiff) {
        const auto claimed = ClaimedSize(coding, bytes);
        if (!claimed) {
            decoded.failure = "its header, which gives its size, is not within its bytes";
            return decoded;
        }
        decoded.failure = SizeRefusal(claimed->width, claimed->height);
        if (!decoded.failure.empty()) return decoded;
    }
    return coding == PictureCoding::Gif ? DecodeGifFirstFrame(bytes) : DecodeWithWic(bytes);
}

}  // namespace

PreviewOutcome PreviewFormat(PictureView& view, unsigned format, std::string_view registeredName,
                             const FormatData& data) {
    PreviewOutcome outcome;
    view.Clear();
    switch (data.kind) {
        case DataKind::Bitmap:
            outcome.shown = view.SetPicture(data.bytes);
            break;
        case DataKind::EnhancedMetafile:
        case DataKind::MetafilePicture: {
            auto metafile = MetafileOf(data.kind, data.bytes);
            if (!metafile) break;  // the header's lines say what is wrong
            if (!*metafile) {
                outcome.headerLines = NotDecodedLine("the system does not take its records");
                break;
            }
            view.SetMetafile(std::move(*metafile));
            outcome.shown = true;
            break;
        }
        case DataKind::MemoryBlock: {
            if (format == kDibFormat || format == kDibV5Format) {
                outcome.shown = view.SetPicture(data.bytes);
                break;
            }
            const PictureCoding coding = PictureCodingOf(registeredName, data.bytes);
            if (coding == PictureCoding::None) break;
            DecodedPicture decoded = Decode(coding, data.bytes);
            outcome.headerLines = DecodedPictureLine(coding, decoded);
            if (!decoded.dib.empty()) outcome.shown = view.SetDecoded(std::move(decoded.dib));
            break;
        }
        default:
            break;
    }
    return outcome;
}

}  // namespace norvane
