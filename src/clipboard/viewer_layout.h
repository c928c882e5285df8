// The viewer's arithmetic and texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace norvane {

struct ViewerButtonPlaces {
    int refreshLeft, closeLeft, top;
};

// Close and Refresh centred on the points at two thirds and one third of the
// client width (integer division), 1 pixel above the bottom.
constexpr ViewerButtonPlaces PlaceViewerButtons(int clientWidth, int clientHeight, int buttonWidth,
                                                int buttonHeight) {
    return {clientWidth / 3 - buttonWidth / 2, (2 * clientWidth) / 3 - buttonWidth / 2,
            clientHeight - buttonHeight - 1};
}

inline constexpr char kViewerCaption[] = "Clipboard Data";
inline constexpr char kViewerNotice[] = "Sorry, No Text or Bitmap data is on the Clipboard";
inline constexpr char kClipboardDataError[] = "Error getting clipboard data";

inline std::string ViewerCaptionFor(std::string_view ownerClass) {
    return std::string("Clipboard Data Pasted From A ").append(ownerClass).append(" Class Window");
}

// How much of `rest` to hand over when the rich edit asks for `wanted` bytes
// of the text streamed into it. It reads each chunk on its own, so a chunk
// never ends between a CR and what follows it while text remains: a CR LF
// split over two chunks would become two line breaks, a CR CR LF split
// likewise. Trailing CRs wait for the next chunk; a chunk of nothing but
// CRs leaves its last two to the next one (no pair or triple starts there).
constexpr std::size_t StreamChunkLength(std::string_view rest, std::size_t wanted) {
    if (rest.size() <= wanted) return rest.size();
    std::size_t end = wanted;
    while (end > 0 && rest[end - 1] == '\r') --end;
    if (end > 0) return end;
    return wanted > 2 ? wanted - 2 : wanted;
}

}  // namespace norvane
