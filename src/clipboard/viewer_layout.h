// The viewer's arithmetic and texts.
#pragma once

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

}  // namespace norvane
