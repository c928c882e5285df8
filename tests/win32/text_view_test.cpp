// The text view in a window of the test's own, and in the inspector over a
// long text on the real clipboard. How rows wrap is the layout's, tested natively.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "clipboard/win32_clipboard_service.h"
#include "fakes/recording_messages.h"
#include "inspector/win32_format_inspector_form.h"
#include "inspector/win32_text_view.h"
#include "ui/application.h"
#include "win32/inspector_settles.h"
#include "win32/window_text.h"

namespace norvane {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingMessages;
using testing::WideTextOf;
using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Letters a to z over and over, on one line.
std::string Letters(std::size_t size) {
    std::string text(size, ' ');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
    return text;
}

class TextViewTest : public ::testing::Test {
  protected:
    TextViewTest() { ShowWindow(view.Handle(), SW_SHOWNA); }
    ~TextViewTest() override { DestroyWindow(host); }

    // The view reads the bytes where they lie: the fixture keeps them.
    void Show(const std::string& text) {
        shown = BytesOf(text);
        view.SetText(shown, TextEncoding::Ansi);
    }
    // The rows a paint of the whole view draws.
    std::vector<std::wstring> Painted() {
        InvalidateRect(view.Handle(), nullptr, TRUE);
        UpdateWindow(view.Handle());
        return view.PaintedRows();
    }

    RecordingMessages messages;
    Bytes shown;
    HWND host = CreateWindowA("STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, 320, 220, nullptr,
                              nullptr, nullptr, nullptr);
    TextView view{messages, host, {0, 0, 320, 220}, -12};
};

struct ShownCase {
    TextEncoding encoding;
    Bytes bytes;
    std::vector<std::wstring> rows;
    std::wstring text;  // as the view gives it
};

TEST_F(TextViewTest, EachEncodingsLinesWithTabsAndControlCharactersAsBlanksAndMarks) {
    const ShownCase cases[] = {
        {TextEncoding::Ansi,
         BytesOf("a\tb\x01"
                 "c\r\nd\re\nf"),
         {L"a b\u00b7c", L"d", L"e", L"f"},
         L"a\tb\x01"
         L"c\r\nd\re\nf"},
        {TextEncoding::Utf16,
         {0x36, 0x04, 0xe9, 0, 0x7f, 0, '\r', 0, '\n', 0, '\r', 0, '\n', 0},  // little-endian
         {L"\u0436\u00e9\u00b7", L"", L""},
         L"\u0436\u00e9\x7f\r\n\r\n"},
        {TextEncoding::Utf8,
         BytesOf("caf\xc3\xa9\n\xe2\x82\xac"),
         {L"caf\u00e9", L"\u20ac"},
         L"caf\u00e9\n\u20ac"},
        {TextEncoding::Oem, BytesOf("\x82t\x82"), {L"\u00e9t\u00e9"}, L"\u00e9t\u00e9"},
    };
    for (const ShownCase& c : cases) {
        view.SetText(c.bytes, c.encoding);
        EXPECT_THAT(Painted(), ElementsAreArray(c.rows)) << static_cast<int>(c.encoding);
        EXPECT_EQ(view.Contents(SIZE_MAX), c.text) << static_cast<int>(c.encoding);
    }
    // Other processes read the text as the view's window text.
    Show("one\r\ntwo");
    EXPECT_EQ(WideTextOf(view.Handle()), L"one\r\ntwo");
}

TEST_F(TextViewTest, ALongLinePaintedDownToItsLastCharactersOnAScaledScrollBar) {
    const std::string text = Letters(2 << 20);
    Show(text);
    SendMessageA(view.Handle(), WM_KEYDOWN, VK_END, 0);
    const std::wstring last = Painted().back();
    EXPECT_EQ(last,
              std::wstring(text.end() - static_cast<std::ptrdiff_t>(last.size()), text.end()));
    // More rows than a scroll bar carries: the bar runs on a scale, its end at the last row.
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(view.Handle(), SB_VERT, &info);
    EXPECT_EQ(info.nMax, 32767);
    EXPECT_EQ(info.nPos, 32767);
    EXPECT_EQ(view.Contents(SIZE_MAX).size(), text.size());
}

TEST_F(TextViewTest, KeysAndTheWheelScrollByRows) {
    Show(Letters(100000));
    SendMessageA(view.Handle(), WM_KEYDOWN, VK_NEXT, 0);
    const std::size_t page = view.TopLine(), last = view.RowCount() - page;
    ASSERT_GT(page, 1u);
    const struct {
        UINT message;
        WPARAM wParam;
        std::size_t top;
    } steps[] = {
        {WM_KEYDOWN, VK_DOWN, 101},
        {WM_KEYDOWN, VK_UP, 99},
        {WM_KEYDOWN, VK_NEXT, 100 + page},
        {WM_KEYDOWN, VK_PRIOR, 100 - page},
        {WM_KEYDOWN, VK_HOME, 0},
        {WM_KEYDOWN, VK_END, last},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 103},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 97},
        {WM_VSCROLL, SB_LINEDOWN, 101},
        {WM_VSCROLL, SB_BOTTOM, last},
    };
    for (const auto& step : steps) {
        view.ScrollTo(100);
        SendMessageA(view.Handle(), step.message, step.wParam, 0);
        EXPECT_EQ(view.TopLine(), step.top) << step.message << " " << step.wParam;
    }
}

TEST_F(TextViewTest, ReadOnlyAndCopiesNothing) {
    Show("nothing to copy");
    SetForegroundWindow(host);
    SetFocus(view.Handle());
    const DWORD sequence = GetClipboardSequenceNumber();
    const WORD pressed[4][2] = {
        {VK_CONTROL, 0}, {'C', 0}, {'C', KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP}};
    INPUT keys[4] = {};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = pressed[i][0];
        keys[i].ki.dwFlags = pressed[i][1];
    }
    SendInput(4, keys, sizeof(INPUT));
    ProcessPendingMessages();
    for (const UINT message : {WM_COPY, WM_CUT, WM_CLEAR, WM_PASTE})
        SendMessageA(view.Handle(), message, 0, 0);
    SendMessageA(view.Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(GetClipboardSequenceNumber(), sequence);
    EXPECT_EQ(view.Contents(SIZE_MAX), L"nothing to copy");
}

TEST_F(TextViewTest, ANarrowerViewWrapsTheSameTextIntoMoreRows) {
    const std::string text = Letters(300);
    Show(text);
    auto joined = [](const std::vector<std::wstring>& rows) {
        std::wstring all;
        for (const std::wstring& row : rows) all += row;
        return all;
    };
    const std::vector<std::wstring> wide = Painted();
    // A text laid out elsewhere for the width the view is given fits it as made.
    const std::size_t columns = view.ColumnsAt(160);
    MoveWindow(view.Handle(), 0, 0, 160, 220, TRUE);
    EXPECT_EQ(view.Columns(), columns);
    const std::vector<std::wstring> narrow = Painted();
    EXPECT_GT(narrow.size(), wide.size());
    EXPECT_LT(narrow.front().size(), wide.front().size());
    EXPECT_EQ(joined(wide), std::wstring(text.begin(), text.end()));
    EXPECT_EQ(joined(narrow), std::wstring(text.begin(), text.end()));
}

// The inspector shows CF_TEXT on the clipboard whole in its text view, not a first part.
TEST(InspectorTextView, AMegabyteOnOneLineShownWhole) {
    const std::string text = Letters(1 << 20) + "END";
    HWND owner =
        CreateWindowA("STATIC", "owner", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    ASSERT_NE(memory, nullptr);
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    EXPECT_NE(SetClipboardData(CF_TEXT, memory), nullptr);
    CloseClipboard();

    RecordingMessages messages;
    Win32ClipboardService clipboard;
    TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
    inspector.SetFormat(1, "CF_TEXT (Predefined) [1]");
    inspector.Show();
    ASSERT_TRUE(testing::InspectorSettles(inspector));
    TextView& view = inspector.Text();
    ASSERT_TRUE(IsWindowVisible(view.Handle()));
    EXPECT_THAT(inspector.TextOf(inspector.Get(InspectorFormPart::Header_Label)),
                Not(HasSubstr("first")));
    EXPECT_EQ(view.Contents(SIZE_MAX), std::wstring(text.begin(), text.end()));
    ShowWindow(inspector.Handle(), SW_HIDE);
    DestroyWindow(owner);
}

}  // namespace
}  // namespace norvane
