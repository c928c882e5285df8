// What the inspector's picture preview shows of a format: a bitmap or DIB
// as it is; a picture another program placed in its own coding (PNG, JPEG,
// GIF ...) decoded; an enhanced metafile or metafile picture made from its
// copied bytes once its header has said they are whole. Decoding and
// playing run on the view's worker: the outcome says so meanwhile, and the
// view reports what came of them.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "clipboard/format_data.h"
#include "inspector/win32_picture_view.h"

namespace norvane {

struct PreviewOutcome {
    bool shown = false;
    // Each after "\r\n": the picture decoded, or why not; or that the worker decodes or plays it.
    std::string headerLines;
};

// Shows the format's data in `view`, or clears it. The view keeps a DIB's
// bytes where they lie (they must outlive what it shows); the worker
// shares `data`, never copying it.
PreviewOutcome PreviewFormat(PictureView& view, unsigned format, std::string_view registeredName,
                             std::shared_ptr<const FormatData> data);

}  // namespace norvane
