// The viewer and the format list in this process, over a clipboard in memory.
#include "clipboard/win32_viewer_form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <new>

#include "clipboard/win32_formats_form.h"
#include "clipboard/viewer_layout.h"
#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"
#include "ui/handles.h"
#include "util/mul_div.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using testing::FakeClipboard;
using testing::RecordingMessages;

struct ViewerTest : ::testing::Test {
    static void SetUpTestSuite() { LoadLibraryA("riched20.dll"); }
    RecordingMessages messages;
    FakeClipboard clipboard;
    TClipboard_Viewer_Form viewer{messages, clipboard, nullptr};

    void Load() {
        viewer.Show();
        clipboard.calls.clear();
    }
    bool Visible(ViewerFormPart part) { return viewer.IsVisible(viewer.Get(part)); }
};

TEST_F(ViewerTest, TextIsShownWhole) {
    std::string text;
    while (text.size() < 100000) text += "clipboard text, ";
    text += "end";
    clipboard.formats = {{kTextFormat, ""}};
    clipboard.text = text;
    clipboard.owner = reinterpret_cast<WindowHandle>(1);
    clipboard.ownerClass = "Notepad";
    Load();
    EXPECT_EQ(viewer.Caption(), "Clipboard Data Pasted From A Notepad Class Window");
    EXPECT_EQ(GetWindowTextLengthA(viewer.Get(ViewerFormPart::RichEdit1).hwnd),
              static_cast<int>(text.size()));
    EXPECT_TRUE(Visible(ViewerFormPart::RichEdit1));
    EXPECT_FALSE(Visible(ViewerFormPart::Image1));
    EXPECT_FALSE(Visible(ViewerFormPart::Panel1));
    EXPECT_TRUE(viewer.IsEnabled(viewer.Get(ViewerFormPart::View_Text_BitBtn)));
    EXPECT_FALSE(clipboard.isOpen);
    EXPECT_TRUE(messages.errors.empty());
    EXPECT_TRUE(messages.shown.empty());
}

// Words of text, `length` characters in all.
std::string Words(std::size_t length) {
    std::string words;
    while (words.size() < length) words += "words ";
    words.resize(length);
    return words;
}

std::string TextOf(HWND edit) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

TEST_F(ViewerTest, LineBreaksAcrossChunksComeBackAsTheyWere) {
    HWND edit = viewer.Get(ViewerFormPart::RichEdit1).hwnd;
    // A CR LF just over the first chunk's end.
    const std::string first = Words(4095) + "\r\nafter the break";
    SetRichEditText(edit, first);
    EXPECT_EQ(TextOf(edit), first);

    // 300 KB of 61-byte lines: more than 70 chunk ends, many inside a CR LF.
    std::string lines;
    for (int n = 0; lines.size() < 300000; ++n) {
        std::string line = "line " + std::to_string(n) + " ";
        line.resize(59, '.');
        lines += line + "\r\n";
    }
    SetRichEditText(edit, lines);
    const std::string back = TextOf(edit);
    EXPECT_EQ(back.size(), lines.size());
    EXPECT_TRUE(back == lines)
        << "differs from offset "
        << std::distance(back.begin(),
                         std::mismatch(back.begin(), back.end(), lines.begin(), lines.end()).first);
}

TEST_F(ViewerTest, EveryKindOfLineBreakAcrossAChunkEndAsInAShortText) {
    // Whatever the box makes of a lone LF, a lone CR or CR CR LF, it makes
    // the same of it where the text is streamed in over a chunk's end.
    HWND edit = viewer.Get(ViewerFormPart::RichEdit1).hwnd;
    for (const char* lineBreak : {"\r\n", "\n", "\r", "\r\r\n", "\n\r", "\r\r"}) {
        SetRichEditText(edit, std::string("a") + lineBreak + "z");
        const std::string shortText = TextOf(edit);
        const std::string made = shortText.substr(1, shortText.size() - 2);
        for (std::size_t before : {4093u, 4094u, 4095u, 4096u}) {
            SetRichEditText(edit, Words(before) + lineBreak + "z");
            EXPECT_TRUE(TextOf(edit) == Words(before) + made + "z")
                << ::testing::PrintToString(std::string(lineBreak)) << " after " << before;
        }
    }
}

TEST(LockedMemory, UnlockedWhenTheCopyFails) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 16);
    try {
        const LockedMemory locked(memory);
        ASSERT_NE(locked.get(), nullptr);
        EXPECT_EQ(GlobalFlags(memory) & GMEM_LOCKCOUNT, 1u);
        throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
    }
    EXPECT_EQ(GlobalFlags(memory) & GMEM_LOCKCOUNT, 0u);
    GlobalFree(memory);
}

TEST_F(ViewerTest, RtfLookingTextIsShownAsItIs) {
    clipboard.formats = {{kTextFormat, ""}};
    clipboard.text = "{\\rtf1 hello}";
    Load();
    EXPECT_EQ(TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd), "{\\rtf1 hello}");
    clipboard.text = "{\\rtf1 again}";  // and so in every box that follows
    viewer.Refresh_BitBtnClick();
    EXPECT_EQ(TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd), "{\\rtf1 again}");
}

TEST_F(ViewerTest, EarlierTextStaysUntilFreshTextIsLoaded) {
    clipboard.formats = {{kTextFormat, ""}};
    clipboard.text = "earlier text";
    Load();
    const Bounds bounds = viewer.BoundsOf(viewer.Get(ViewerFormPart::RichEdit1));
    const int fontSize = viewer.FontSizeOf(viewer.Get(ViewerFormPart::RichEdit1));
    clipboard.text.reset();  // the owner fails to render it
    viewer.Show();           // a reopen
    EXPECT_THAT(messages.errors, ElementsAre("Error getting clipboard data"));
    EXPECT_EQ(TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd), "earlier text");
    EXPECT_FALSE(Visible(ViewerFormPart::RichEdit1));

    clipboard.text = "fresh text";
    viewer.Show();  // a reopen
    auto& box = viewer.Get(ViewerFormPart::RichEdit1);
    EXPECT_EQ(TextOf(box.hwnd), "fresh text");
    EXPECT_TRUE(Visible(ViewerFormPart::RichEdit1));
    EXPECT_EQ(viewer.BoundsOf(box), bounds);
    EXPECT_EQ(viewer.FontSizeOf(box), fontSize);
    EXPECT_EQ(GetDlgCtrlID(box.hwnd), static_cast<int>(box.id));
}

TEST(ViewerLimit, TextTooLargeForTheAddressSpaceIsShownInPartAndSaidSo) {
    RecordingMessages messages;
    FakeClipboard clipboard;
    // Free address space for 10000 characters laid out, however much the box takes.
    TClipboard_Viewer_Form viewer(messages, clipboard, nullptr, [] {
        return kAddressSpaceReserve + kRichEditBytesPerChar * 10000;
    });
    clipboard.formats = {{kTextFormat, ""}};
    clipboard.text = Words(100000);
    viewer.Show();
    const std::string shown = TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd);
    EXPECT_GT(shown.size(), 0u);
    EXPECT_LE(shown.size(), 10000u);
    EXPECT_TRUE(shown == clipboard.text->substr(0, shown.size()));
    EXPECT_TRUE(viewer.IsVisible(viewer.Get(ViewerFormPart::RichEdit1)));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, TextTooLargeMessage(shown.size(), 100000));
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(clipboard.isOpen);
}

TEST_F(ViewerTest, BitmapWinsOverText) {
    clipboard.formats = {{kTextFormat, ""}, {kBitmapFormat, ""}};
    clipboard.text = "words";
    clipboard.bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    Load();
    EXPECT_TRUE(Visible(ViewerFormPart::Image1));
    EXPECT_FALSE(Visible(ViewerFormPart::RichEdit1));
    EXPECT_TRUE(viewer.IsEnabled(viewer.Get(ViewerFormPart::View_Text_BitBtn)));
    EXPECT_TRUE(viewer.IsEnabled(viewer.Get(ViewerFormPart::View_Bitmap_BitBtn)));
    EXPECT_NE(viewer.Get(ViewerFormPart::Image1).picture.get(), nullptr);
    EXPECT_EQ(viewer.Caption(), "Clipboard Data Pasted From A  Class Window");  // no owner
}

TEST_F(ViewerTest, NeitherShowsTheNotice) {
    clipboard.formats = {{13, ""}};
    Load();
    EXPECT_EQ(viewer.Caption(), "Clipboard Data");
    EXPECT_TRUE(Visible(ViewerFormPart::Panel1));
    EXPECT_EQ(viewer.TextOf(viewer.Get(ViewerFormPart::Panel1)),
              "Sorry, No Text or Bitmap data is on the Clipboard");
    EXPECT_FALSE(Visible(ViewerFormPart::RichEdit1));
    EXPECT_FALSE(Visible(ViewerFormPart::Image1));
}

TEST_F(ViewerTest, DataThatCannotBeGotIsAnErrorWithTheClipboardClosed) {
    clipboard.formats = {{kTextFormat, ""}, {kBitmapFormat, ""}};
    clipboard.owner = reinterpret_cast<WindowHandle>(1);
    clipboard.ownerClass = "Lazy";
    viewer.Show();
    EXPECT_THAT(messages.errors, ElementsAre("Error getting clipboard data"));
    EXPECT_FALSE(clipboard.isOpen);
    EXPECT_EQ(viewer.Caption(), "Clipboard Data Pasted From A Lazy Class Window");
    EXPECT_FALSE(Visible(ViewerFormPart::Panel1));
    EXPECT_FALSE(Visible(ViewerFormPart::RichEdit1));
    EXPECT_FALSE(Visible(ViewerFormPart::Image1));
}

TEST_F(ViewerTest, ButtonsStayAtOneAndTwoThirdsOnResize) {
    Load();
    for (int width : {300, 451, 800}) {
        RECT outer, client;
        GetWindowRect(viewer.Handle(), &outer);
        GetClientRect(viewer.Handle(), &client);
        SetWindowPos(viewer.Handle(), nullptr, 0, 0,
                     width + (outer.right - outer.left) - client.right, 300,
                     SWP_NOMOVE | SWP_NOZORDER);
        const Bounds refresh = viewer.BoundsOf(viewer.Get(ViewerFormPart::Refresh_BitBtn));
        const Bounds close = viewer.BoundsOf(viewer.Get(ViewerFormPart::Exit_BitBtn));
        const ViewerButtonPlaces p = PlaceViewerButtons(viewer.ClientWidth(), viewer.ClientHeight(),
                                                        refresh.width, refresh.height);
        EXPECT_EQ(refresh.left, p.refreshLeft);
        EXPECT_EQ(close.left, p.closeLeft);
        EXPECT_EQ(refresh.top, viewer.ClientHeight() - refresh.height - 1);
        EXPECT_EQ(close.top, refresh.top);
        EXPECT_EQ(viewer.BoundsOf(viewer.Get(ViewerFormPart::RichEdit1)).width,
                  viewer.ClientWidth());
    }
}

TEST_F(ViewerTest, DesignedAt120DpiIsScaledToTheScreen) {
    // The font follows the resolution; the layout follows its new text height.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    HFONT font = CreateFontA(MulDivRound(-13, dpi, 120), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(dpi, 120) << "the test expects a screen of another resolution";
    const Bounds outer = viewer.OuterBounds();
    EXPECT_EQ(outer.width, MulDivRound(578, metrics.tmHeight, 16));
    EXPECT_EQ(outer.height, MulDivRound(386, metrics.tmHeight, 16));
    EXPECT_EQ(outer.left, 150);
    EXPECT_EQ(outer.top, 173);
    EXPECT_EQ(viewer.BoundsOf(viewer.Get(ViewerFormPart::Refresh_BitBtn)).width,
              MulDivRound(125, metrics.tmHeight, 16));
}

TEST(FormatsForm, ListsAndRefreshes) {
    RecordingMessages messages;
    FakeClipboard clipboard;
    clipboard.formats = {{1, ""}, {49400, "My Format"}};
    TClipboard_Formats_Form form(messages, clipboard, nullptr);
    EXPECT_EQ(form.ClientWidth(), 284);
    EXPECT_EQ(form.ClientHeight(), 246);
    form.Show();
    HWND list = form.Get(FormatsFormPart::ListBox1).hwnd;
    EXPECT_EQ(form.TextOf(form.Get(FormatsFormPart::Label1)),
              "There are 2 data formats available in the Clipboard");
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    char line[300];
    SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(line));
    EXPECT_STREQ(line, "My Format [49400]");
    clipboard.formats = {{2, ""}};
    form.Refresh_BitBtnClick();
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
    SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    EXPECT_STREQ(line, "CF_BITMAP (Predefined) [2]");
    EXPECT_EQ(form.TextOf(form.Get(FormatsFormPart::Label1)),
              "There are 1 data formats available in the Clipboard");
}

}  // namespace
}  // namespace norvane
