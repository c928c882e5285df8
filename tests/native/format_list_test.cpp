#include "clipboard/format_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_clipboard.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using testing::FakeClipboard;

TEST(FormatNames, PredefinedTableAndWinuserNames) {
    EXPECT_EQ(PredefinedFormatName(1), "CF_TEXT");
    EXPECT_EQ(PredefinedFormatName(8), "CF_DIB");
    EXPECT_EQ(PredefinedFormatName(13), "CF_UNICODETEXT");
    EXPECT_EQ(PredefinedFormatName(16), "CF_LOCALE");
    EXPECT_EQ(PredefinedFormatName(17), "CF_MAX");  // not CF_DIBV5
    EXPECT_EQ(PredefinedFormatName(0x80), "CF_OWNERDISPLAY");
    EXPECT_EQ(PredefinedFormatName(0x81), "CF_DSPTEXT");
    EXPECT_EQ(PredefinedFormatName(0x82), "CF_DSPBITMAP");
    EXPECT_EQ(PredefinedFormatName(0x83), "CF_DSPMETAFILEPICT");
    EXPECT_EQ(PredefinedFormatName(0x8E), "CF_DSPENHMETAFILE");
    EXPECT_EQ(PredefinedFormatName(0x200), "CF_PRIVATEFIRST+0");
    EXPECT_EQ(PredefinedFormatName(0x2FF), "CF_PRIVATEFIRST+255");
    EXPECT_EQ(PredefinedFormatName(0x300), "CF_GDIOBJFIRST+0");
    EXPECT_EQ(PredefinedFormatName(0x3FF), "CF_GDIOBJFIRST+255");
    for (unsigned other : {0u, 18u, 0x84u, 0x1FFu, 0x400u, 0xC000u})
        EXPECT_EQ(PredefinedFormatName(other), "CF_UNKNOWN");
}

TEST(FormatNames, LinesCarryTheirNumber) {
    EXPECT_EQ(FormatLine(1, ""), "CF_TEXT (Predefined) [1]");
    EXPECT_EQ(FormatLine(17, ""), "CF_MAX (Predefined) [17]");
    EXPECT_EQ(FormatLine(0x201, ""), "CF_PRIVATEFIRST+1 (Predefined) [513]");
    EXPECT_EQ(FormatLine(49321, "My Format"), "My Format [49321]");
    EXPECT_EQ(FormatLine(49322, "A\r\nB\u202E [1]"), "A\\u000D\\u000AB\\u202E [1] [49322]");
    EXPECT_EQ(FormatCountLine(0), "There are 0 data formats available in the Clipboard");
    EXPECT_EQ(FormatCountLine(3), "There are 3 data formats available in the Clipboard");
}

TEST(FormatList, CountsFirstThenEnumeratesInOrderAndCloses) {
    FakeClipboard clipboard;
    clipboard.formats = {{13, ""}, {49500, "Rich Text Format"}, {1, ""}, {16, ""}};
    const FormatList list = ReadFormatList(clipboard);
    EXPECT_EQ(list.countLine, "There are 4 data formats available in the Clipboard");
    EXPECT_THAT(list.lines,
                ElementsAre("CF_UNICODETEXT (Predefined) [13]", "Rich Text Format [49500]",
                            "CF_TEXT (Predefined) [1]", "CF_LOCALE (Predefined) [16]"));
    EXPECT_THAT(list.formats, ElementsAre(13u, 49500u, 1u, 16u));
    EXPECT_THAT(clipboard.calls, ElementsAre("Open", "Close"));
    EXPECT_FALSE(clipboard.isOpen);
}

TEST(FormatList, HeldOpenElsewhereGivesTheCountButNoLines) {
    FakeClipboard clipboard;
    clipboard.formats = {{1, ""}, {7, ""}};
    clipboard.failOpen = true;
    const FormatList list = ReadFormatList(clipboard);
    EXPECT_EQ(list.countLine, "There are 2 data formats available in the Clipboard");
    EXPECT_TRUE(list.lines.empty());
}

TEST(FormatList, ClosesTheClipboardWhenMemoryRunsOut) {
    FakeClipboard clipboard;
    clipboard.formats = {{1, ""}, {49500, "Rich Text Format"}};
    clipboard.throwOnFormatName = true;
    EXPECT_THROW(ReadFormatList(clipboard), std::bad_alloc);
    EXPECT_FALSE(clipboard.isOpen);
    EXPECT_THAT(clipboard.calls, ElementsAre("Open", "Close"));
}

}  // namespace
}  // namespace norvane
