// The viewer and the format list in this process, over a clipboard in memory.
#include <richedit.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <new>

#include "clipboard/viewer_layout.h"
#include "clipboard/win32_formats_form.h"
#include "clipboard/win32_viewer_form.h"
#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"
#include "test_forms.h"
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
    // Made first, as in the program: closing the viewer then hides it.
    Form main{testing::TestFormSpec("ViewerTestMain", {}, 100, 100), messages, nullptr};
    TClipboard_Viewer_Form viewer{messages, clipboard, main.Handle()};

    void Load() {
        viewer.Show();
        clipboard.calls.clear();
    }
    bool Visible(ViewerFormPart part) { return viewer.IsVisible(viewer.Get(part)); }
};

// Lines of words, `length` characters in all.
std::u16string Words(std::size_t length) {
    std::u16string words;
    while (words.size() < length) words += u"words words words words words words words words\r\n";
    words.resize(length);
    return words;
}

std::string TextOf(HWND edit) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

// ASCII as UTF-16, and back.
std::u16string Wide(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}
std::string Narrow(std::u16string_view ascii) {
    std::string narrow;
    for (char16_t c : ascii) narrow += static_cast<char>(c);
    return narrow;
}

TEST_F(ViewerTest, TextIsShownWhole) {
    std::u16string text;
    while (text.size() < 100000) text += u"clipboard text, ";
    text += u"end";
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

TEST_F(ViewerTest, TheWaitCursorShowsWhileTheClipboardLoads) {
    struct CursorNotingClipboard : FakeClipboard {
        HCURSOR seen = nullptr;
        std::optional<std::u16string> CopyText() override {
            seen = GetCursor();
            return FakeClipboard::CopyText();
        }
    } noting;
    noting.formats = {{kTextFormat, ""}};
    noting.text = u"text";
    TClipboard_Viewer_Form form(messages, noting, nullptr);
    HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    SetCursor(arrow);
    form.Show();
    EXPECT_EQ(noting.seen, LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    EXPECT_EQ(GetCursor(), arrow);
    ShowWindow(form.Handle(), SW_HIDE);
}

// The box's text as UTF-16 (its window text would come through the ANSI
// code page).
std::u16string WideTextOf(HWND edit) {
    GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
    const auto chars = SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::u16string text(static_cast<std::size_t>(chars) + 1, u'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(char16_t)), GT_USECRLF, 1200, nullptr,
                  nullptr};
    text.resize(
        static_cast<std::size_t>(SendMessageA(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                              reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

TEST_F(ViewerTest, TextInPiecesComesBackAsItWas) {
    HWND edit = viewer.Get(ViewerFormPart::RichEdit1).hwnd;
    // 300 KB of 61-character lines, each with a character beyond the BMP:
    // three pieces.
    std::u16string lines;
    for (int n = 0; lines.size() < 300000; ++n) {
        std::u16string line = Wide("line " + std::to_string(n)) + u" \u00FC\U0001F600";
        line.resize(59, u'.');
        lines += line + u"\r\n";
    }
    EXPECT_EQ(SetRichEditText(edit, lines), lines.size());
    const std::u16string back = WideTextOf(edit);
    EXPECT_EQ(back.size(), lines.size());
    EXPECT_TRUE(back == lines)
        << "differs from offset "
        << std::distance(back.begin(),
                         std::mismatch(back.begin(), back.end(), lines.begin(), lines.end()).first);
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
    clipboard.text = u"{\\rtf1 hello}";
    Load();
    EXPECT_EQ(TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd), "{\\rtf1 hello}");
    clipboard.text = u"{\\rtf1 again}";  // and so in every box that follows
    viewer.Refresh_BitBtnClick();
    EXPECT_EQ(TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd), "{\\rtf1 again}");
}

TEST_F(ViewerTest, EarlierTextStaysUntilFreshTextIsLoaded) {
    clipboard.formats = {{kTextFormat, ""}};
    clipboard.text = u"earlier text";
    Load();
    const Bounds bounds = viewer.BoundsOf(viewer.Get(ViewerFormPart::RichEdit1));
    const int fontSize = viewer.FontSizeOf(viewer.Get(ViewerFormPart::RichEdit1));
    clipboard.text.reset();  // the owner fails to render it
    viewer.Show();           // a reopen
    EXPECT_THAT(messages.errors, ElementsAre("Error getting clipboard data"));
    EXPECT_EQ(TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd), "earlier text");
    EXPECT_FALSE(Visible(ViewerFormPart::RichEdit1));

    clipboard.text = u"fresh text";
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
    EXPECT_TRUE(shown == Narrow(clipboard.text->substr(0, shown.size())));
    EXPECT_TRUE(viewer.IsVisible(viewer.Get(ViewerFormPart::RichEdit1)));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, TextTooLargeMessage(shown.size(), 100000));
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(clipboard.isOpen);

    // A load that fails after the text was cut short says nothing of it
    // then, nor at the next load.
    clipboard.formats.push_back({kBitmapFormat, ""});  // which the owner does not render
    viewer.Show();
    clipboard.formats = {{kTextFormat, ""}};
    clipboard.text = u"short";
    viewer.Show();
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.errors.size(), 1u);
}

TEST_F(ViewerTest, EscDuringALoadStopsItKeepingWhatWasLoaded) {
    clipboard.formats = {{kTextFormat, ""}};
    clipboard.text = Words(3 * kLoadPieceChars);
    // Waiting when the load begins: handled between its pieces.
    PostMessageA(viewer.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    viewer.Show();
    const std::string shown = TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd);
    EXPECT_LT(shown.size(), clipboard.text->size());
    EXPECT_TRUE(shown == Narrow(clipboard.text->substr(0, shown.size())));
    EXPECT_TRUE(Visible(ViewerFormPart::RichEdit1));
    EXPECT_TRUE(IsWindowVisible(viewer.Handle()));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, TextStoppedMessage(shown.size(), 3 * kLoadPieceChars));
}

struct CloseCase {
    const char* name;
    UINT message;
    WPARAM wParam;  // 0 for the Close button: its click
    LPARAM lParam;
};

const CloseCase kCloseCases[] = {
    {"Close", WM_COMMAND, 0, 0},
    {"the close box", WM_SYSCOMMAND, SC_CLOSE, 0},
    {"Alt+F4", WM_SYSKEYDOWN, VK_F4, LPARAM{KF_ALTDOWN} << 16},
};

HWND leftOpen = nullptr;
void CALLBACK CloseLeftOpen(HWND, UINT, UINT_PTR, DWORD) {
    PostMessageA(leftOpen, WM_CLOSE, 0, 0);
}

TEST_F(ViewerTest, ClosingDuringALoadAbandonsItAndCloses) {
    clipboard.formats = {{kTextFormat, ""}};
    clipboard.text = Words(3 * kLoadPieceChars);
    HWND close = viewer.Get(ViewerFormPart::Exit_BitBtn).hwnd;
    for (const CloseCase& c : kCloseCases) {
        messages.shown.clear();
        // Waiting when the load begins: handled between its pieces.
        if (c.message == WM_COMMAND)
            PostMessageA(viewer.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(close), BN_CLICKED),
                         reinterpret_cast<LPARAM>(close));
        else
            PostMessageA(viewer.Handle(), c.message, c.wParam, c.lParam);
        // A viewer left open is closed later, so that the test goes on.
        leftOpen = viewer.Handle();
        const UINT_PTR later = SetTimer(nullptr, 0, 20000, CloseLeftOpen);
        viewer.ShowModal();
        KillTimer(nullptr, later);
        EXPECT_FALSE(IsWindowVisible(viewer.Handle())) << c.name;
        EXPECT_TRUE(messages.shown.empty()) << c.name;
        EXPECT_EQ(TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd), "") << c.name;
        EXPECT_TRUE(IsWindowEnabled(main.Handle())) << c.name;
    }
}

TEST_F(ViewerTest, RefreshDuringALoadIsNoSecondLoad) {
    clipboard.formats = {{kTextFormat, ""}};
    clipboard.text = u"text";
    HWND refresh = viewer.Get(ViewerFormPart::Refresh_BitBtn).hwnd;
    PostMessageA(viewer.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(refresh), BN_CLICKED),
                 reinterpret_cast<LPARAM>(refresh));
    viewer.Show();
    EXPECT_EQ(std::count(clipboard.calls.begin(), clipboard.calls.end(), "Open"), 1);
    EXPECT_EQ(TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd), "text");
}

TEST_F(ViewerTest, TheBoxLetsGoOfItsTextOnCloseAndWhenABitmapFollows) {
    clipboard.formats = {{kTextFormat, ""}};
    clipboard.text = u"earlier text";
    Load();
    viewer.Close();
    EXPECT_EQ(TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd), "");

    Load();
    clipboard.formats = {{kBitmapFormat, ""}};
    clipboard.bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    viewer.Refresh_BitBtnClick();
    EXPECT_TRUE(Visible(ViewerFormPart::Image1));
    EXPECT_EQ(TextOf(viewer.Get(ViewerFormPart::RichEdit1).hwnd), "");
}

TEST_F(ViewerTest, BitmapWinsOverText) {
    clipboard.formats = {{kTextFormat, ""}, {kBitmapFormat, ""}};
    clipboard.text = u"words";
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
