// What the inspector's picture preview shows of a format: a bitmap or DIB
// as it is; a picture another program placed in its own coding (PNG, JPEG,
// GIF ...) decoded; an enhanced metafile or metafile picture made from its
// copied bytes once its header has said they are whole.
#pragma once

#include <string>
#include <string_view>

#include "clipboard/format_data.h"
#include "inspector/win32_picture_view.h"

namespace norvane {

struct PreviewOutcome {
    bool shown = false;
    std::string headerLines;  // each after "\r\n": the picture decoded, or why not
};

// Shows the format's data in `view` (which keeps what it needs but `data`'s
// bytes, which must outlive what it shows), or clears it.
PreviewOutcome PreviewFormat(PictureView& view, unsigned format, std::string_view registeredName,
                             const FormatData& data);

}  // namespace norvane
