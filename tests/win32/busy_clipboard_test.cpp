// The commands over the real clipboard while a second process holds it
// open: one that lets go 30 ms after it is told to, just as the command
// starts, and one that keeps it until the test ends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "clipboard/erase_clipboard.h"
#include "clipboard/format_list.h"
#include "clipboard/viewer_layout.h"
#include "clipboard/win32_clipboard_service.h"
#include "clipboard/win32_viewer_form.h"
#include "fakes/recording_messages.h"
#include "win32/second_process.h"

namespace norvane {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::RecordingMessages;
using testing::SecondProcess;

struct BusyClipboard : ::testing::Test {
    RecordingMessages messages;
    Win32ClipboardService clipboard;
    TClipboard_Viewer_Form viewer{messages, clipboard, nullptr};

    // Runs `command` as the holder starts its last 30 ms.
    void WhileHeldBriefly(auto&& command) {
        SecondProcess holder("hold-clipboard", "30");
        holder.SignalQuit();
        command();
    }
    std::string ViewerText() {
        char text[64] = {};
        GetWindowTextA(viewer.Get(ViewerFormPart::RichEdit1).hwnd, text, sizeof text);
        return text;
    }
};

TEST_F(BusyClipboard, EveryCommandWaitsForAHolderThatLetsGoSoon) {
    WhileHeldBriefly([&] { EraseClipboard(clipboard, nullptr, messages); });
    EXPECT_THAT(messages.Texts(), ElementsAre(kEraseSucceeded));
    WhileHeldBriefly([&] {
        EXPECT_THAT(ReadFormatList(clipboard).lines, Contains("CF_TEXT (Predefined) [1]"));
    });
    WhileHeldBriefly([&] { viewer.Show(); });
    EXPECT_EQ(ViewerText(), "held text");
    EXPECT_TRUE(viewer.IsVisible(viewer.Get(ViewerFormPart::RichEdit1)));
    EXPECT_THAT(messages.errors, IsEmpty());
}

TEST_F(BusyClipboard, EveryCommandReportsAHolderThatStaysAsBefore) {
    SecondProcess holder("hold-clipboard", "0");
    EraseClipboard(clipboard, nullptr, messages);
    EXPECT_THAT(messages.Texts(),
                ElementsAre(kEraseOpenFailed, kEraseEraseFailed, kEraseCloseFailed));
    const FormatList formats = ReadFormatList(clipboard);
    EXPECT_EQ(formats.countLine, "There are 1 data formats available in the Clipboard");
    EXPECT_THAT(formats.lines, IsEmpty());
    viewer.Show();
    EXPECT_THAT(messages.errors, ElementsAre(kClipboardDataError));
    EXPECT_FALSE(viewer.IsVisible(viewer.Get(ViewerFormPart::RichEdit1)));
}

// Two threads of the program opening and closing the clipboard by turns:
// the observer hears each open and close in the order they were made,
// never one thread's close after another's open.
TEST(ClipboardOpenObserver, HearsOpensAndClosesInTheirOrder) {
    struct Alternation final : ClipboardOpenObserver {
        std::atomic<int> open{0}, mostOpen{0}, closedUnopened{0};
        void Opened(WindowHandle) noexcept override {
            mostOpen = std::max(mostOpen.load(), ++open);
        }
        void Closed() noexcept override {
            if (--open < 0) ++closedUnopened;
        }
    } observer;
    Win32ClipboardService clipboard;
    clipboard.ObserveOpens(&observer);
    // Each with a window of its own, as the program's readings open it.
    const auto openAndClose = [&](HWND window) {
        for (int i = 0; i < 1000; ++i)
            if (clipboard.Open(window)) clipboard.Close();
    };
    HWND windows[2];
    for (HWND& window : windows)
        window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
    std::thread other(openAndClose, windows[1]);
    openAndClose(windows[0]);
    other.join();
    for (HWND window : windows) DestroyWindow(window);
    clipboard.ObserveOpens(nullptr);
    EXPECT_EQ(observer.mostOpen, 1);
    EXPECT_EQ(observer.closedUnopened, 0);
    EXPECT_EQ(observer.open, 0);
}

}  // namespace
}  // namespace norvane
