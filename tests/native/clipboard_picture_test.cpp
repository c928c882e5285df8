#include "clipboard/clipboard_picture.h"

#include <gtest/gtest.h>

#include <vector>

#include "fakes/fake_clipboard.h"

namespace norvane {
namespace {

using testing::FakeClipboard;

struct PlacedCase {
    std::vector<unsigned> formats;  // in the clipboard's order
    unsigned placed;
};

// The owner's DIB comes before the one the system adds; a bitmap alone
// offers none.
const PlacedCase kPlacedCases[] = {
    {{kDibFormat, kBitmapFormat, kDibV5Format}, kDibFormat},
    {{kDibV5Format, kBitmapFormat, kDibFormat}, kDibV5Format},
    {{kTextFormat, kBitmapFormat}, 0},
    {{}, 0},
};

TEST(PlacedDib, TheFirstDibInTheClipboardsOrder) {
    for (const PlacedCase& c : kPlacedCases) {
        FakeClipboard clipboard;
        for (unsigned format : c.formats) clipboard.formats.push_back({format, ""});
        clipboard.Open(nullptr);
        EXPECT_EQ(PlacedDibFormat(clipboard), c.placed) << c.formats.size() << " formats";
    }
}

TEST(PlacedDib, ARefusedBitmapSaysWhichDibAndWhy) {
    EXPECT_EQ(BitmapFromDibRefusedText(kDibFormat, "Its header gives a size of 16 x 0 pixels."),
              "the system makes it from the clipboard's CF_DIB, whose header does not fit its "
              "block: its header gives a size of 16 x 0 pixels");
}

}  // namespace
}  // namespace norvane
