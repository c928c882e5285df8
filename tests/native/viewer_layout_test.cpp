// The viewer's arithmetic: where its text is cut into pieces, how far the
// free address space lets it go, where its buttons go and what it says.
#include "clipboard/viewer_layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace norvane {
namespace {

TEST(ViewerStream, NoCutBetweenACrAndWhatFollowsNorInASurrogatePair) {
    EXPECT_EQ(SafeCutLength(u"abc", 4096), 3u);
    EXPECT_EQ(SafeCutLength(u"abc\r\ndef", 4), 3u);
    EXPECT_EQ(SafeCutLength(u"abc\r\ndef", 5), 5u);
    EXPECT_EQ(SafeCutLength(u"ab\r\r\ndef", 4), 2u);
    EXPECT_EQ(SafeCutLength(u"abc\r", 4), 4u);  // the last piece may end in a CR
    EXPECT_EQ(SafeCutLength(u"\r\r\r\r\r\n", 4), 2u);
    EXPECT_EQ(SafeCutLength(u"\r\r\n", 1), 1u);  // never an empty piece while text remains
    EXPECT_EQ(SafeCutLength(u"abc\U0001F600ef", 4), 3u);

    // Every mix of line breaks, cut into small pieces: the pieces make the
    // whole text, and only a piece of CRs alone ends in one.
    const std::u16string text = u"one\r\ntwo\nthree\rfour\r\r\nfive\r\r\r\r\r\r\r\r\nsix\n\r";
    for (std::size_t wanted : {3u, 4u, 5u, 7u}) {
        std::u16string joined;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t count = SafeCutLength(std::u16string_view(text).substr(at), wanted);
            ASSERT_GT(count, 0u);
            ASSERT_LE(count, wanted);
            const std::u16string piece = text.substr(at, count);
            at += count;
            if (at < text.size() && piece.back() == u'\r') {
                EXPECT_EQ(piece.find_first_not_of(u'\r'), std::u16string::npos) << wanted;
            }
            joined += piece;
        }
        EXPECT_TRUE(joined == text);
    }
}

TEST(ViewerStream, APieceEndsAfterTheLastLineBeginningWithinWhatIsWanted) {
    EXPECT_EQ(PieceLength(u"ab\r\ncd\r\nef", 6), 4u);
    EXPECT_EQ(PieceLength(u"ab\r\ncd\r\nef", 8), 8u);
    EXPECT_EQ(PieceLength(u"ab\ncd", 99), 5u);  // the rest, whole
    // A line longer than what is wanted goes in whole.
    EXPECT_EQ(PieceLength(u"abcdef\r\ngh", 3), 8u);
    EXPECT_EQ(PieceLength(u"abcdefgh", 3), 8u);
}

TEST(ViewerLayout, ButtonsAtOneAndTwoThirds) {
    const ViewerButtonPlaces p = PlaceViewerButtons(300, 200, 125, 31);
    EXPECT_EQ(p.refreshLeft, 38);
    EXPECT_EQ(p.closeLeft, 138);
    EXPECT_EQ(p.top, 168);
    EXPECT_EQ(PlaceViewerButtons(301, 0, 125, 31).closeLeft, 200 - 62);  // 602 div 3 = 200
    EXPECT_EQ(PlaceViewerButtons(0, 0, 125, 31).refreshLeft, -62);
    EXPECT_EQ(ViewerCaptionFor("Notepad"), "Clipboard Data Pasted From A Notepad Class Window");
    EXPECT_EQ(ViewerCaptionFor(""), "Clipboard Data Pasted From A  Class Window");
    EXPECT_EQ(ViewerCaptionFor("X\u2066Y\n"),
              "Clipboard Data Pasted From A X\\u2066Y\\u000A Class Window");
}

TEST(ViewerStream, AChunkGoesInWhileTheFreeAddressSpaceHoldsWhatTheBoxWillNeed) {
    constexpr std::uint64_t kMB = 1u << 20;
    const std::uint64_t forTenMB = kAddressSpaceReserve + kRichEditBytesPerChar * 10 * kMB;
    EXPECT_TRUE(RoomForChunk(forTenMB, forTenMB, 6 * kMB, 4 * kMB));
    EXPECT_FALSE(RoomForChunk(forTenMB, forTenMB, 6 * kMB, 4 * kMB + 1));
    // What the box has already taken counts towards its need...
    const std::uint64_t taken = kRichEditBytesPerChar * 6 * kMB;
    EXPECT_TRUE(RoomForChunk(forTenMB, forTenMB - taken, 6 * kMB, 4 * kMB));
    EXPECT_FALSE(RoomForChunk(forTenMB, forTenMB - taken, 6 * kMB, 4 * kMB + 1));
    // ...and what it took beyond its need is no credit: the reserve stays.
    EXPECT_TRUE(RoomForChunk(forTenMB, kAddressSpaceReserve, 6 * kMB, 0));
    EXPECT_FALSE(RoomForChunk(forTenMB, kAddressSpaceReserve - 1, 6 * kMB, 0));
    // Memory given back since the start is no debt.
    EXPECT_TRUE(RoomForChunk(forTenMB, forTenMB + kMB, 6 * kMB, 4 * kMB));
}

TEST(ViewerStream, TheMessageForATextShownInPart) {
    EXPECT_EQ(TextTooLargeMessage(8192, 100000),
              "The text on the Clipboard is too large to show whole.\r\n\r\n"
              "Only its first 8192 of 100000 characters are shown.");
    EXPECT_EQ(TextStoppedMessage(131072, 16000000),
              "Loading the text on the Clipboard was stopped.\r\n\r\n"
              "Only its first 131072 of 16000000 characters are shown.");
}

}  // namespace
}  // namespace norvane
