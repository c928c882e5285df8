#include "clipboard/erase_clipboard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using testing::FakeClipboard;
using testing::RecordingMessages;

// Notes at every box whether the clipboard is open meanwhile.
struct BoxesWatchingTheClipboard : RecordingMessages {
    explicit BoxesWatchingTheClipboard(const FakeClipboard& watched) : clipboard(watched) {}
    MessageAnswer Show(std::string_view text, MessageKind kind, MessageButtons buttons) override {
        openDuringBox.push_back(clipboard.isOpen);
        return RecordingMessages::Show(text, kind, buttons);
    }
    const FakeClipboard& clipboard;
    std::vector<bool> openDuringBox;
};

struct EraseTest : ::testing::Test {
    FakeClipboard clipboard;
    BoxesWatchingTheClipboard messages{clipboard};
    void Erase() { EraseClipboard(clipboard, nullptr, messages); }
};

TEST_F(EraseTest, SucceedsAndSaysSoOnce) {
    clipboard.formats = {{1, ""}, {49300, "My Format"}};
    Erase();
    EXPECT_TRUE(clipboard.formats.empty());
    EXPECT_FALSE(clipboard.isOpen);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "All data was erased from the Windows Clipboard !");
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Information);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
}

TEST_F(EraseTest, EmptyClipboardStillSucceeds) {
    Erase();
    EXPECT_THAT(messages.Texts(), ElementsAre(kEraseSucceeded));
}

TEST_F(EraseTest, HeldElsewhereShowsEveryFailedPhaseInOrder) {
    clipboard.formats = {{1, ""}};
    clipboard.failOpen = true;  // another program has it open: Empty and Close fail too
    Erase();
    EXPECT_THAT(clipboard.calls, ElementsAre("Open", "Empty", "Close"));
    EXPECT_THAT(messages.Texts(),
                ElementsAre(kEraseOpenFailed, kEraseEraseFailed, kEraseCloseFailed));
    for (const auto& shown : messages.shown) EXPECT_EQ(shown.kind, MessageKind::Error);
    EXPECT_EQ(clipboard.formats.size(), 1u);
}

TEST_F(EraseTest, EachPhaseFailsAlone) {
    clipboard.failEmpty = true;  // opened, then not emptied
    Erase();
    EXPECT_THAT(messages.Texts(), ElementsAre(kEraseEraseFailed));
    EXPECT_FALSE(clipboard.isOpen);
    // Told once it is closed: no other program waits on the box.
    EXPECT_THAT(messages.openDuringBox, ElementsAre(false));

    messages.shown.clear();
    clipboard.failEmpty = false;
    clipboard.failClose = true;
    Erase();
    EXPECT_THAT(messages.Texts(), ElementsAre(kEraseCloseFailed));
}

TEST_F(EraseTest, ExceptionEndsThePhasesClosesAndReportsOnce) {
    clipboard.throwOnEmpty = true;
    Erase();
    EXPECT_THAT(clipboard.calls, ElementsAre("Open", "Empty", "Close"));
    EXPECT_FALSE(clipboard.isOpen);
    EXPECT_THAT(messages.Texts(), ElementsAre(kEraseExceptFailed));
    EXPECT_TRUE(messages.errors.empty());  // not passed on to the general error box
}

TEST_F(EraseTest, ExceptionAfterFailedOpenDoesNotCloseSomebodyElsesClipboard) {
    clipboard.failOpen = true;
    clipboard.throwOnEmpty = true;
    Erase();
    EXPECT_THAT(clipboard.calls, ElementsAre("Open", "Empty"));
    EXPECT_THAT(messages.Texts(), ElementsAre(kEraseOpenFailed, kEraseExceptFailed));
}

}  // namespace
}  // namespace norvane
