// The format inspector following the real clipboard while it is shown, as
// clipboard_helper changes it from another process, and naming the program
// that holds it open.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "clipboard/win32_clipboard_service.h"
#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"
#include "inspector/win32_format_inspector_form.h"
#include "win32/inspector_settles.h"
#include "win32/message_pump.h"
#include "win32/second_process.h"

namespace norvane {
namespace {

using testing::ClipboardHelper;
using ::testing::HasSubstr;
using testing::InspectorSettles;
using testing::PumpFor;
using testing::PumpUntil;
using testing::RecordingMessages;
using ::testing::StartsWith;
using namespace std::chrono_literals;

const unsigned kBytesFormat = RegisterClipboardFormatA("Norvane Bytes");
const std::string kBytesLine = "Norvane Bytes [" + std::to_string(kBytesFormat) + "]";

std::string HeaderOf(TFormat_Inspector_Form& inspector) {
    return inspector.TextOf(inspector.Get(InspectorFormPart::Header_Label));
}

// The inspector over the real clipboard, where the tests' helpers place data.
struct InspectorOverTheClipboard : ::testing::Test {
    RecordingMessages messages;
    Win32ClipboardService clipboard;
    TFormat_Inspector_Form inspector{messages, clipboard, nullptr};

    // Shown on `format`; once read, unless `settled` is false.
    void Show(unsigned format, const std::string& line, bool settled = true) {
        inspector.SetFormat(format, line);
        inspector.Show();
        if (settled) {
            ASSERT_TRUE(InspectorSettles(inspector));
        }
    }
};

// Shown on "Norvane Bytes", where the first helper placed 300 known bytes.
struct FollowingTheClipboard : InspectorOverTheClipboard {
    std::optional<ClipboardHelper> owner{std::in_place, "bytes", "300"};

    void SetUp() override { Show(kBytesFormat, kBytesLine); }
    bool HeaderComesTo(const std::string& start) {
        return PumpUntil([&] { return HeaderOf(inspector).starts_with(start); });
    }
};

TEST_F(FollowingTheClipboard, AChangeIsReadAgainWithoutTakingTheFocus) {
    ASSERT_EQ(inspector.Reading().data.bytes.size(), 300u);
    HWND elsewhere = CreateWindowA("STATIC", "elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(elsewhere);
    const HWND focused = GetFocus();
    owner.emplace("bytes", "500");
    const std::string prefix = "Format " + std::to_string(kBytesFormat);
    EXPECT_TRUE(HeaderComesTo(prefix + ": a memory block, 500 bytes\r\nOwner: A NorvaneTestOwner"))
        << HeaderOf(inspector);
    EXPECT_EQ(inspector.Reading().data.bytes.size(), 500u);
    EXPECT_EQ(inspector.Reading().data.bytes[499], static_cast<std::uint8_t>(499 * 7 + 3));
    EXPECT_EQ(GetFocus(), focused);

    // The format goes: said in the header, in no box.
    owner.emplace("text", "only text");
    EXPECT_TRUE(HeaderComesTo(prefix + ": no longer on the clipboard\r\n")) << HeaderOf(inspector);
    EXPECT_TRUE(inspector.Dump().PaintedLines().empty());
    EXPECT_FALSE(inspector.IsEnabled(inspector.Get(InspectorFormPart::Save_As_BitBtn)));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(GetFocus(), focused);
    DestroyWindow(elsewhere);
}

TEST_F(FollowingTheClipboard, NothingOnceHidden) {
    inspector.Hide();
    owner.emplace("bytes", "500");
    PumpFor(500ms);
    EXPECT_EQ(inspector.Reading().data.bytes.size(), 300u);
}

TEST(FollowingABurstOfChanges, ReadOnceWhenItSettles) {
    // The reads go to a fake; the changes come from the real clipboard.
    testing::FakeClipboard fake;
    fake.formats = {{kBytesFormat, "Norvane Bytes"}};
    fake.data[kBytesFormat] = FormatData{DataKind::MemoryBlock, {1, 2, 3}};
    RecordingMessages messages;
    TFormat_Inspector_Form inspector{messages, fake, nullptr};
    inspector.SetFormat(kBytesFormat, kBytesLine);
    inspector.Show();
    ASSERT_TRUE(InspectorSettles(inspector));
    const auto reads = [&] { return std::ranges::count(fake.calls, "CopyFormatData"); };
    ASSERT_EQ(reads(), 1);
    const ClipboardHelper burst("burst", "64");  // five changes in a row
    PumpFor(800ms);
    ASSERT_TRUE(InspectorSettles(inspector));
    EXPECT_EQ(reads(), 2);
}

// A clipboard replaced every tenth of a second never settles for the 150 ms
// the inspector waits; it is still read about once a second, while the
// changes go on.
TEST_F(InspectorOverTheClipboard, ReadsARecentChangeEverySecondOrSoWhenItNeverSettles) {
    const ClipboardHelper first("text", "first");
    Show(1, "CF_TEXT (Predefined) [1]");
    const auto text = [&] {
        const auto& bytes = inspector.Reading().data.bytes;
        return std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0));
    };
    ASSERT_EQ(text(), "first");
    const ClipboardHelper churn("changes", "80 100");  // eight seconds of changes or more
    std::set<std::string> seen;
    EXPECT_TRUE(PumpUntil(
        [&] {
            if (text().starts_with("change ")) seen.insert(text());
            return seen.size() >= 3;
        },
        15s));
    EXPECT_FALSE(seen.contains("change 79")) << "read only once the changes had ended";
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(InspectorOverTheClipboard, HeldOpenNamesTheProgramHoldingIt) {
    const ClipboardHelper owner("bytes", "300");
    const ClipboardHelper holder("holdonly", "");
    Show(kBytesFormat, kBytesLine);
    const std::string header = HeaderOf(inspector);
    EXPECT_THAT(header, StartsWith("Format " + std::to_string(kBytesFormat) + ": " +
                                   ClipboardHeldText() + "\r\n"));
    EXPECT_THAT(header, HasSubstr("\r\nOwner: A NorvaneTestOwner Class Window of "
                                  "clipboard_helper.exe, process id " +
                                  std::to_string(owner.Id()) + "\r\n"));
    EXPECT_THAT(header, ::testing::EndsWith("\r\nHeld open by: A NorvaneTestOwner Class Window of "
                                            "clipboard_helper.exe, process id " +
                                            std::to_string(holder.Id())));
    EXPECT_TRUE(messages.shown.empty());
}

// An owner that takes 1.5 s to render keeps only the reader's worker
// waiting: the inspector says it reads, and shows the text once rendered;
// closed meanwhile, it never shows the reading, which ends on its own.
TEST_F(InspectorOverTheClipboard, ASlowOwnerIsReadOffTheWindowsThreadAndDroppedOnClose) {
    for (const bool closed : {false, true}) {
        SCOPED_TRACE(closed ? "closed while reading" : "left open");
        const ClipboardHelper owner("slowrender", "");
        Show(1, "CF_TEXT (Predefined) [1]", false);
        EXPECT_EQ(HeaderOf(inspector),
                  std::string("Format 1\r\n") + TFormat_Inspector_Form::kReadingText);
        EXPECT_TRUE(inspector.ReadingUnderWay());
        if (closed) {
            inspector.Hide();
            EXPECT_TRUE(PumpUntil([&] { return !inspector.ReadingUnderWay(); }, 10s));
            PumpFor(300ms);
            EXPECT_TRUE(inspector.Reading().data.bytes.empty());
            EXPECT_EQ(inspector.Text().Contents(SIZE_MAX), L"");
        } else {
            ASSERT_TRUE(InspectorSettles(inspector));
            EXPECT_EQ(inspector.Text().Contents(SIZE_MAX), L"rendered slowly");
            // Measured in the reader, the owner's rendering included.
            EXPECT_THAT(HeaderOf(inspector),
                        ::testing::StartsWith("Format 1: a memory block, 16 bytes, read in 1."));
        }
        EXPECT_TRUE(messages.shown.empty());
    }
}

}  // namespace
}  // namespace norvane
