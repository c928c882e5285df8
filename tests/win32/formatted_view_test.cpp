// The inspector's formatted view of RTF, whose rich edit box a thread of
// its own fills: a megabyte of it takes that box seconds, which the
// inspector's window never waits for, and a fill no longer wanted is
// dropped, its box never shown and soon gone.
#include <richedit.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"
#include "inspector/win32_format_inspector_form.h"
#include "win32/inspector_settles.h"
#include "win32/message_pump.h"
#include "win32/window_text.h"

namespace norvane {
namespace {

using ::testing::HasSubstr;
using testing::InspectorSettles;
using ::testing::Not;
using testing::PumpUntil;
using namespace std::chrono_literals;

// Paragraphs of words, as a word processor copies a long document.
std::vector<std::uint8_t> Rtf(std::size_t size, const std::string& first) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 " + first + "\\par\r\n";
    while (rtf.size() + 60 < size) rtf += "Lorem ipsum dolor sit amet, {\\b consectetur}.\\par\r\n";
    rtf += "}";
    return {rtf.begin(), rtf.end()};
}

BOOL CALLBACK CountBox(HWND window, LPARAM counted) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (process == GetCurrentProcessId() && std::string(name) == RICHEDIT_CLASSA)
        ++*reinterpret_cast<int*>(counted);
    return TRUE;
}

// The boxes of this process without a parent: made, or parted, and not yet destroyed.
int LooseBoxes() {
    int count = 0;
    EnumWindows(&CountBox, reinterpret_cast<LPARAM>(&count));
    return count;
}

enum class Then { Formatted, Closed, ReadAgain, Ended };

struct FormattedViewTest : ::testing::TestWithParam<Then> {
    const unsigned format = RegisterClipboardFormatA("Rich Text Format");
    testing::FakeClipboard clipboard;
    testing::RecordingMessages messages;
    std::optional<TFormat_Inspector_Form> inspector{std::in_place, messages, clipboard, nullptr};

    void Place(std::vector<std::uint8_t> rtf) {
        clipboard.formats = {{format, "Rich Text Format"}};
        clipboard.data[format] = FormatData{DataKind::MemoryBlock, std::move(rtf)};
    }
    std::string Header() {
        return inspector->TextOf(inspector->Get(InspectorFormPart::Header_Label));
    }
};

TEST_P(FormattedViewTest, FormattedOffTheWindowsThreadAndDroppedWhenNoLongerWanted) {
    Place(Rtf(1 << 20, "First"));
    inspector->SetFormat(format, "Rich Text Format");
    inspector->Show();
    ASSERT_TRUE(PumpUntil([&] { return !inspector->ReadingUnderWay(); }));
    // Read, and its text shown, while the box is filled elsewhere.
    ASSERT_TRUE(inspector->Formatted().Working()) << "formatted too soon to be seen formatting";
    EXPECT_THAT(Header(), ::testing::EndsWith("\r\nFormatting the RTF..."));
    EXPECT_EQ(inspector->Formatted().Box(), nullptr);
    EXPECT_TRUE(IsWindowVisible(inspector->Text().Handle()));

    switch (GetParam()) {
        case Then::Formatted: {
            ASSERT_TRUE(InspectorSettles(*inspector, 60s));
            const HWND box = inspector->Formatted().Box();
            ASSERT_TRUE(box);
            EXPECT_TRUE(IsWindowVisible(box));
            EXPECT_EQ(GetParent(box), inspector->Handle());
            EXPECT_NE(GetWindowThreadProcessId(box, nullptr), GetCurrentThreadId());
            const std::wstring text = testing::WideTextOf(box);
            EXPECT_TRUE(text.starts_with(L"First\r") && text.ends_with(L"consectetur."));
            EXPECT_THAT(Header(), Not(HasSubstr("Formatting")));
            break;
        }
        case Then::Closed:
            inspector->Hide();
            EXPECT_FALSE(inspector->Formatted().Working());
            break;
        case Then::Ended:
            inspector.reset();  // its thread ends, the fill stopped at its next piece
            break;
        case Then::ReadAgain:
            Place(Rtf(100, "Second"));
            inspector->Refresh_BitBtnClick();
            ASSERT_TRUE(InspectorSettles(*inspector, 60s));
            ASSERT_TRUE(inspector->Formatted().Box());
            EXPECT_EQ(testing::WideTextOf(inspector->Formatted().Box()), L"Second");
            break;
    }
    // The box of a fill no longer wanted goes on its own thread: only the
    // box shown, a child, is left.
    EXPECT_TRUE(PumpUntil([] { return LooseBoxes() == 0; }, 30s)) << LooseBoxes();
    if (GetParam() == Then::Closed) {
        EXPECT_EQ(inspector->Formatted().Box(), nullptr);
    }
    EXPECT_TRUE(messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Inspector, FormattedViewTest,
                         ::testing::Values(Then::Formatted, Then::Closed, Then::ReadAgain,
                                           Then::Ended),
                         [](const auto& info) {
                             switch (info.param) {
                                 case Then::Formatted:
                                     return "Formatted";
                                 case Then::Closed:
                                     return "Closed";
                                 case Then::ReadAgain:
                                     return "ReadAgain";
                                 case Then::Ended:
                                     return "Ended";
                             }
                             return "";
                         });

}  // namespace
}  // namespace norvane
