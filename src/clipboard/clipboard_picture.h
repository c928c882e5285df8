// Where the clipboard's picture comes from. The system makes the bitmap
// (format 2) from a DIB by the DIB's header, unchecked: so a picture is
// made from the DIB itself, once it is found to hold what its header says,
// and the system's bitmap is asked for only when no DIB is offered.
#pragma once

#include <string>
#include <string_view>

#include "clipboard/clipboard_service.h"

namespace norvane {

// With the clipboard open: the DIB its owner placed, the first of CF_DIB and
// CF_DIBV5 in the clipboard's order (the system adds the other after the
// owner's formats, converted); 0 when it offers neither.
unsigned PlacedDibFormat(ClipboardService& clipboard);

// Why the bitmap is not read: the system would make it from the DIB
// `dibFormat`, whose header does not fit its block (`problem`, a sentence
// as ReadDibHeader tells it).
std::string BitmapFromDibRefusedText(unsigned dibFormat, std::string_view problem);

}  // namespace norvane
