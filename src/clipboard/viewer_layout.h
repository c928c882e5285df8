// The viewer's arithmetic and texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/visible_text.h"

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
    return "Clipboard Data Pasted From A " + VisibleText(ownerClass) + " Class Window";
}

// Said when only the first `shown` characters of a text of `whole` fit.
inline std::string TextTooLargeMessage(std::size_t shown, std::size_t whole) {
    return "The text on the Clipboard is too large to show whole.\r\n\r\nOnly its first " +
           std::to_string(shown) + " of " + std::to_string(whole) + " characters are shown.";
}

// The address space the rich edit box takes for each character it holds,
// lines laid out: about 60 bytes at the viewer's width under Wine, 156 in
// a box as narrow as its design size; with room to spare. And what the rest
// of the program keeps free (message boxes, painting, the bitmap).
inline constexpr std::uint64_t kRichEditBytesPerChar = 200;
inline constexpr std::uint64_t kAddressSpaceReserve = 64u << 20;

// Whether the box may take `chunk` characters more after the `loaded` it
// holds: the free address space must still hold what it will need for them
// all, less what it has taken since the load began, and the reserve. Most of
// its need comes only once the text is in and its lines are laid out.
constexpr bool RoomForChunk(std::uint64_t freeAtStart, std::uint64_t freeNow, std::size_t loaded,
                            std::size_t chunk) {
    const std::uint64_t taken = freeAtStart > freeNow ? freeAtStart - freeNow : 0;
    const std::uint64_t need = kRichEditBytesPerChar * (loaded + chunk);
    const std::uint64_t stillNeeded = need > taken ? need - taken : 0;
    return freeNow >= stillNeeded + kAddressSpaceReserve;
}

// Said when the user stopped the load after the first `shown` characters.
inline std::string TextStoppedMessage(std::size_t shown, std::size_t whole) {
    return "Loading the text on the Clipboard was stopped.\r\n\r\nOnly its first " +
           std::to_string(shown) + " of " + std::to_string(whole) + " characters are shown.";
}

// Shown while a long load runs.
inline std::string LoadProgressText(std::size_t loaded, std::size_t whole) {
    return "Loading the text: " + std::to_string(loaded) + " of " + std::to_string(whole) +
           " characters. Esc stops it.";
}

// The text goes into the box in pieces of this many characters, with the
// program's messages handled between them (Esc, Close, repaints); its
// progress shows once the load has taken this long.
inline constexpr std::size_t kLoadPieceChars = 1u << 17;
// As the free address space runs out the pieces get smaller, down to this.
inline constexpr std::size_t kSmallestPieceChars = 2048;
inline constexpr unsigned kShowProgressAfterMs = 1000;

// At most `wanted` characters of `rest`, cut anywhere the rich edit reads
// alike in one piece or two: it reads each piece on its own, so a cut never
// falls between a CR and what follows it while text remains (a CR LF split
// in two would become two line breaks, a CR CR LF likewise), nor between
// the two halves of a surrogate pair. Trailing CRs wait for the next piece;
// a piece of nothing but CRs leaves its last two to the next one.
constexpr std::size_t SafeCutLength(std::u16string_view rest, std::size_t wanted) {
    if (rest.size() <= wanted) return rest.size();
    std::size_t end = wanted;
    if (end > 1 && rest[end - 1] >= 0xD800 && rest[end - 1] <= 0xDBFF) --end;
    while (end > 0 && rest[end - 1] == u'\r') --end;
    if (end > 0) return end;
    return wanted > 2 ? wanted - 2 : wanted;
}

// The next piece of `rest` for about `wanted` characters: up to the end of
// the last line that begins within them (after its LF), or a line longer
// than that whole. The box lays out again the whole paragraph a piece ends
// in, so a piece that ended inside a long line would make each following
// piece cost as much as the line so far.
constexpr std::size_t PieceLength(std::u16string_view rest, std::size_t wanted) {
    if (rest.size() <= wanted) return rest.size();
    if (const std::size_t last = rest.find_last_of(u'\n', wanted - 1);
        last != std::u16string_view::npos)
        return last + 1;
    const std::size_t next = rest.find(u'\n', wanted);
    return next == std::u16string_view::npos ? rest.size() : next + 1;
}

}  // namespace norvane
