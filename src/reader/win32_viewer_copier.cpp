#include "reader/win32_viewer_copier.h"

#include <cstring>
#include <memory>

#include "clipboard/win32_clipboard_picture.h"
#include "reader/win32_reader_process.h"

namespace norvane {
namespace {

ViewerCopy CopyOf(const ClipboardSnapshot& snapshot) {
    ViewerCopy copy;
    for (const CopiedFormat& copied : snapshot.formats) {
        if (copied.reading.outcome != ReadOutcome::Read) continue;
        const auto& bytes = copied.reading.data.bytes;
        if (copied.format == kUnicodeTextFormat) {
            copy.text.emplace(bytes.size() / 2, u'\0');
            std::memcpy(copy.text->data(), bytes.data(), copy.text->size() * 2);
        } else {
            copy.picture = BitmapFromPackedDib(bytes);
        }
    }
    return copy;
}

}  // namespace

ViewerCopier ViewerCopierInReader() {
    // One reader for the viewer's loads, one after the other; a load given
    // up ends it, and the next starts another.
    auto reader = std::make_shared<ReaderProcess>();
    return [reader](bool text, bool picture, const std::function<bool()>& stopped) {
        auto [copied, givenUp] = ReadWhileAnswering(
            [&](const std::function<bool()>& cancelled) {
                return reader->ReadForViewer(text, picture, cancelled);
            },
            stopped);
        ViewerCopy copy = CopyOf(copied);
        copy.givenUp = givenUp;
        return copy;
    };
}

}  // namespace norvane
