// The viewer's copies made in a reader process of its own, while the
// windows answer: an owner that never renders keeps neither the viewer
// nor the clipboard, and Esc or Close gives the copy up.
#pragma once

#include "clipboard/win32_viewer_form.h"

namespace norvane {

ViewerCopier ViewerCopierInReader();

}  // namespace norvane
