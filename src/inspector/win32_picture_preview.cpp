#include "inspector/win32_picture_preview.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "clipboard/standard_formats.h"
#include "inspector/data_headers.h"
#include "inspector/encoded_picture.h"
#include "inspector/gif_first_frame.h"
#include "inspector/win32_wic_picture.h"

namespace norvane {
namespace {

using SharedData = std::shared_ptr<const FormatData>;

// What makes the metafile, on the worker, from bytes whose header check
// found them whole (a null one when the system does not take them);
// nothing when they are not whole.
std::function<UniqueEnhMetafile()> MetafileMaker(const SharedData& data) {
    const std::span<const std::uint8_t> bytes = data->bytes;
    if (data->kind == DataKind::EnhancedMetafile) {
        const auto reading = ReadEnhMetafileHeader(bytes);
        if (!reading.header || !reading.problem.empty()) return nullptr;
        const auto whole = bytes.first(static_cast<std::size_t>(reading.header->bytes));
        return [data, whole] {
            return UniqueEnhMetafile(
                SetEnhMetaFileBits(static_cast<UINT>(whole.size()), whole.data()));
        };
    }
    const auto reading = ReadMetafilePictureHeader(bytes);
    if (!reading.header || !reading.problem.empty()) return nullptr;
    const MetafilePictureHeader& h = *reading.header;
    const auto records =
        bytes.subspan(kMetafilePictureFields, static_cast<std::size_t>(h.metafileBytes));
    return [picture = METAFILEPICT{h.mappingMode, h.xExt, h.yExt, nullptr}, data, records] {
        return UniqueEnhMetafile(SetWinMetaFileBits(static_cast<UINT>(records.size()),
                                                    records.data(), nullptr, &picture));
    };
}

DecodedPicture Decode(PictureCoding coding, std::span<const std::uint8_t> bytes,
                      const DecodeCancelled& cancelled) {
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
    return coding == PictureCoding::Gif ? DecodeGifFirstFrame(bytes)
                                        : DecodeWithWic(bytes, cancelled);
}

}  // namespace

PreviewOutcome PreviewFormat(PictureView& view, unsigned format, std::string_view registeredName,
                             SharedData shared) {
    PreviewOutcome outcome;
    view.Clear();
    const FormatData& data = *shared;
    switch (data.kind) {
        case DataKind::Bitmap:
            outcome.shown = view.SetPicture(data.bytes);
            break;
        case DataKind::EnhancedMetafile:
        case DataKind::MetafilePicture: {
            auto make = MetafileMaker(shared);
            if (!make) break;  // the header's lines say what is wrong
            view.SetMetafile(std::move(make));
            outcome.shown = true;
            outcome.headerLines = std::string("\r\n") + PictureView::kPlayingText;
            break;
        }
        case DataKind::MemoryBlock: {
            if (format == kDibFormat || format == kDibV5Format) {
                outcome.shown = view.SetPicture(data.bytes);
                break;
            }
            const PictureCoding coding = PictureCodingOf(registeredName, data.bytes);
            if (coding == PictureCoding::None) break;
            view.SetDecoding([coding, shared](const DecodeCancelled& cancelled) {
                DecodedPicture decoded = Decode(coding, shared->bytes, cancelled);
                std::string line = DecodedPictureLine(coding, decoded);
                return DecodedForView{std::move(decoded.dib), std::move(line)};
            });
            outcome.shown = true;
            outcome.headerLines = std::string("\r\n") + PictureView::kDecodingText;
            break;
        }
        default:
            break;
    }
    return outcome;
}

}  // namespace norvane
