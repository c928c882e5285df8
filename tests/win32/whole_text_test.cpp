// Every window of the program on a screen of 96, 120, 144 and 192 pixels
// per inch: the text of each visible control, measured with the control's
// own font where the control draws it, lies whole inside the control and
// clear of every other visible control that does not hold it. Controls may
// overlap where their layout has them do so; text may not. The table of
// windows runs in a process of its own for each resolution, started with
// the screen set to it (Wine reads it as a process starts).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "about/about_texts.h"
#include "about/win32_about_box.h"
#include "app/win32_main_form.h"
#include "clipboard/win32_formats_form.h"
#include "clipboard/win32_viewer_form.h"
#include "fakes/fake_clipboard.h"
#include "fakes/fake_registry.h"
#include "fakes/recording_messages.h"
#include "inspector/win32_format_inspector_form.h"
#include "inspector/win32_save_all_progress_form.h"
#include "journal/clipboard_journal.h"
#include "journal/win32_journal_form.h"
#include "ui/fonts.h"
#include "ui/handles.h"
#include "win32/inspector_settles.h"
#include "win32/message_pump.h"
#include "win32/screen_dpi.h"
#include "win32/second_process.h"

namespace norvane {
namespace {

using testing::FakeClipboard;
using testing::RecordingMessages;

std::string Shown(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT common;
    return IntersectRect(&common, &a, &b);
}

// A visible control of a form: a child window or a windowless component,
// in the form's client coordinates, with where its text is drawn (none for
// a control that draws no text the form lays out).
struct Piece {
    std::string name;
    RECT bounds{};
    RECT inside{};  // the room its text has
    std::optional<RECT> text;
    bool isLabel = false;  // draws nothing but its text
};

class Measure {
  public:
    explicit Measure(HFONT font) : dc_(CreateCompatibleDC(nullptr)), font_(dc_, font) {}
    ~Measure() { DeleteDC(dc_); }
    Measure(const Measure&) = delete;
    Measure& operator=(const Measure&) = delete;
    SIZE Line(const std::string& text) const {
        SIZE size{};
        GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }
    // Broken into lines at words within `width`, as a wrapping label breaks it.
    SIZE Wrapped(const std::string& text, int width) const {
        RECT r{0, 0, width, 0};
        DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        return {r.right, r.bottom};
    }

  private:
    HDC dc_;
    SelectedObject font_;  // after the DC: deselected before it is deleted
};

std::string WindowTextA(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

HFONT FontOf(HWND window) {
    return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
}

RECT ClientIn(HWND window, HWND form) {
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Offset(RECT r, const RECT& by) {
    OffsetRect(&r, by.left, by.top);
    return r;
}

// Where a child window's text is drawn, in the form's coordinates.
std::optional<RECT> TextPlace(Form& form, const Form::Component* c, HWND window, HWND formWindow,
                              bool& isLabel) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    const std::string text = WindowTextA(window);
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const RECT client = ClientIn(window, formWindow);
    const int width = client.right - client.left, height = client.bottom - client.top;
    const Measure measure(FontOf(window));
    if (_stricmp(className, "Static") == 0) {
        const DWORD type = style & SS_TYPEMASK;
        if (type == SS_OWNERDRAW) return std::nullopt;
        isLabel = true;
        if (text.empty()) return std::nullopt;
        if (type == SS_LEFTNOWORDWRAP) {
            const SIZE size = measure.Line(text);
            return Offset({0, 0, size.cx, size.cy}, client);
        }
        const SIZE size = measure.Wrapped(text, width);
        const int left = type == SS_CENTER ? (width - size.cx) / 2 : 0;
        const int top = style & SS_CENTERIMAGE ? (height - size.cy) / 2 : 0;
        return Offset({left, top, left + size.cx, top + size.cy}, client);
    }
    if (_stricmp(className, "Button") == 0 && !text.empty()) {
        const SIZE size = measure.Line(text);
        RECT inner{0, 0, width, height};
        if ((style & BS_TYPEMASK) == BS_OWNERDRAW && c) {
            const auto places = form.PlaceBitBtn(*c, inner, size, false);
            if (c->glyph) {
                EXPECT_TRUE(Inside(places.glyph, inner))
                    << c->name << "'s glyph " << Shown(places.glyph) << " leaves " << Shown(inner);
                EXPECT_FALSE(Overlap(places.glyph, places.text))
                    << c->name << "'s glyph runs under its caption";
            }
            return Offset(places.text, client);
        }
        const int left = (width - size.cx) / 2, top = (height - size.cy) / 2;
        return Offset({left, top, left + size.cx, top + size.cy}, client);
    }
    return std::nullopt;
}

// A report list: every header's caption and every cell in view whole in its column.
void ExpectListCellsWhole(HWND list, const std::string& name) {
    HWND header = ListView_GetHeader(list);
    RECT listClient;
    GetClientRect(list, &listClient);
    const Measure headerFont(FontOf(header));
    // The header and the list leave this much of a column's width around its text.
    const int margin = 3 * GetSystemMetrics(SM_CXEDGE) * 2;
    const int columns = Header_GetItemCount(header);
    for (int column = 0; column < columns; ++column) {
        char caption[128] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = caption;
        item.cchTextMax = sizeof caption;
        Header_GetItem(header, column, &item);
        RECT r{};
        Header_GetItemRect(header, column, &r);
        EXPECT_LE(headerFont.Line(caption).cx + margin, r.right - r.left)
            << name << ": the heading \"" << caption << "\" is cut";
        EXPECT_LE(r.right, listClient.right)
            << name << ": column \"" << caption << "\" out of view";
    }
    const int top = ListView_GetTopIndex(list);
    const int last = std::min(ListView_GetItemCount(list), top + ListView_GetCountPerPage(list));
    for (int line = top; line < last; ++line)
        for (int column = 0; column < columns; ++column) {
            wchar_t text[512] = {};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 512;
            SendMessageW(list, LVM_GETITEMTEXTW, line, reinterpret_cast<LPARAM>(&item));
            const int textWidth = static_cast<int>(
                SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
            RECT cell{};
            ListView_GetSubItemRect(list, line, column, LVIR_LABEL, &cell);
            EXPECT_LE(textWidth + margin, cell.right - cell.left)
                << name << ": line " << line << ", column " << column << " is cut";
        }
}

// The visible controls of a form and their texts; each text whole inside
// its control and its form, and clear of the other controls.
void ExpectTextWhole(Form& form) {
    HWND formWindow = form.Handle();
    RECT formClient;
    GetClientRect(formWindow, &formClient);
    std::vector<Piece> pieces;
    for (HWND child = GetWindow(formWindow, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)) continue;
        const Form::Component* c = nullptr;
        for (const Form::Component& candidate : form.Components())
            if (candidate.hwnd == child) c = &candidate;
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        Piece piece{.name = c ? c->name : className, .text = std::nullopt};
        GetWindowRect(child, &piece.bounds);
        MapWindowPoints(nullptr, formWindow, reinterpret_cast<POINT*>(&piece.bounds), 2);
        piece.inside = ClientIn(child, formWindow);
        piece.text = TextPlace(form, c, child, formWindow, piece.isLabel);
        if (std::string(className) == WC_LISTVIEWA) ExpectListCellsWhole(child, piece.name);
        pieces.push_back(piece);
    }
    for (Form::Component& c : form.Components())
        if (GraphicControl* graphic = form.GraphicOf(c); graphic && graphic->Visible()) {
            const Bounds b = graphic->BoundsRect();
            const RECT r{b.left, b.top, b.left + b.width, b.top + b.height};
            pieces.push_back({.name = c.name, .bounds = r, .inside = r, .text = std::nullopt});
        }

    for (const Piece& piece : pieces) {
        if (!piece.text) continue;
        const RECT& text = *piece.text;
        EXPECT_TRUE(Inside(text, piece.inside)) << piece.name << ": its text " << Shown(text)
                                                << " is cut by its bounds " << Shown(piece.inside);
        EXPECT_TRUE(Inside(text, formClient)) << piece.name << ": its text " << Shown(text)
                                              << " leaves the window " << Shown(formClient);
        for (const Piece& other : pieces) {
            if (&other == &piece || Inside(piece.bounds, other.bounds)) continue;
            // A label is in the way only where its own text is.
            const std::optional<RECT> obstacle =
                other.isLabel ? other.text : std::optional<RECT>(other.bounds);
            if (obstacle) {
                EXPECT_FALSE(Overlap(text, *obstacle))
                    << piece.name << ": its text " << Shown(text) << " runs under " << other.name
                    << " " << Shown(*obstacle);
            }
        }
    }
}

// The program's windows, each made and shown with typical contents.
struct Windows {
    RecordingMessages messages;
    FakeClipboard clipboard;
    testing::FakeRegistry registry;
    ClipboardJournal journal;
    std::optional<TMainForm1> main;
    std::optional<TAboutBox> about;
    std::optional<TClipboard_Viewer_Form> viewer;
    std::optional<TClipboard_Formats_Form> formats;
    std::optional<TFormat_Inspector_Form> inspector;
    std::optional<TSave_All_Progress_Form> progress;
    std::optional<TClipboard_Journal_Form> journalForm;

    Windows() {
        clipboard.formats = {
            {1, ""}, {13, ""}, {16, ""}, {49161, "HTML Format"}, {49400, "Rich Text Format"}};
        clipboard.text = u"Norvane shows the text on the clipboard as it is.";
        clipboard.owner = reinterpret_cast<WindowHandle>(1);
        clipboard.ownerClass = "NorvaneTestOwner";
        clipboard.data[1] = FormatData{DataKind::MemoryBlock,
                                       {'K', 'n', 'o', 'w', 'n', ' ', 't', 'e', 'x', 't', 0}};
        // The program's main window is the first form made.
        main.emplace(messages, clipboard, registry);
    }
    HWND Main() { return main->Handle(); }
};

TAboutBox& About(Windows& w) {
    w.about.emplace(w.messages, w.Main());
    w.viewer.emplace(w.messages, w.clipboard, w.Main());
    w.formats.emplace(w.messages, w.clipboard, w.Main());
    w.main->AttachDialogs(*w.about, *w.viewer, *w.formats);
    w.main->Set_Product_Identity();
    w.about->Show();
    // Activated: the address labels take the buttons' places and texts.
    testing::PumpUntil([&] { return !w.about->IsVisible(w.about->Get(AboutBoxPart::WEB_Button)); });
    // The longest of the maker's messages, rather than the one drawn.
    const auto longest = std::ranges::max(
        kVarnokQuotes, {}, [](const char* quote) { return std::string_view(quote).size(); });
    w.about->SetTextOf(w.about->Get(AboutBoxPart::Quote_From_Varnok_Label), longest);
    return *w.about;
}

Form& Inspector(Windows& w) {
    w.inspector.emplace(w.messages, w.clipboard, w.Main());
    w.inspector->SetFormat(1, "CF_TEXT (Predefined) [1]");
    w.inspector->Show();
    EXPECT_TRUE(testing::InspectorSettles(*w.inspector));
    return *w.inspector;
}

Form& Journal(Windows& w) {
    const JournalWindow owners[] = {{"NorvaneTestOwner", "WindowsTerminal.exe", 5240},
                                    {"TMainForm1", "norvanel.exe", 512},
                                    {"Chrome_WidgetWin_1", "msedgewebview2.exe", 13208}};
    for (std::uint32_t i = 0; i < 6; ++i)
        w.journal.RecordChange({.time = 13'413'345'725'123 + 1000 * i,
                                .tick = 1000 * i,
                                .sequence = 40 + 4 * i,
                                .owner = owners[i % 3],
                                .formats = 4,
                                .formatNames = "CF_TEXT, CF_LOCALE, CF_OEMTEXT, CF_UNICODETEXT",
                                .text = true});
    w.journalForm.emplace(w.messages, w.journal, w.Main());
    w.journalForm->Open();
    return *w.journalForm;
}

struct WindowCase {
    const char* name;
    std::function<Form&(Windows&)> make;
};

void PrintTo(const WindowCase& window, std::ostream* out) {
    *out << window.name;
}

const WindowCase kWindows[] = {
    {"MainWindow",
     [](Windows& w) -> Form& {
         w.main->Show();
         return *w.main;
     }},
    {"About", [](Windows& w) -> Form& { return About(w); }},
    {"Viewer",
     [](Windows& w) -> Form& {
         w.viewer.emplace(w.messages, w.clipboard, w.Main());
         w.viewer->Show();
         return *w.viewer;
     }},
    {"FormatList",
     [](Windows& w) -> Form& {
         w.formats.emplace(w.messages, w.clipboard, w.Main());
         w.formats->Show();
         return *w.formats;
     }},
    {"Inspector", [](Windows& w) -> Form& { return Inspector(w); }},
    {"SaveAllProgress",
     [](Windows& w) -> Form& {
         w.progress.emplace(w.messages, w.Main());
         w.progress->ShowSaving(17, 148);
         return *w.progress;
     }},
    {"Journal", [](Windows& w) -> Form& { return Journal(w); }},
};

struct WholeText : ::testing::TestWithParam<WindowCase> {
    static void SetUpTestSuite() { LoadLibraryA("riched20.dll"); }
    Windows windows;
};

TEST_P(WholeText, EveryVisibleControlsTextIsWholeAndClearOfTheOthers) {
    // The resolution the screen was set to is the one the forms see.
    ASSERT_EQ(ScreenDpi(), testing::DpiOfThisRun());
    Form& form = GetParam().make(windows);
    testing::PumpUntil([] { return false; }, std::chrono::milliseconds(50));
    ExpectTextWhole(form);
}

INSTANTIATE_TEST_SUITE_P(AtThisDpi, WholeText, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.name); });

// The table above in a process of its own for each resolution.
struct WholeTextAtEachDpi : ::testing::TestWithParam<int> {};

TEST_P(WholeTextAtEachDpi, TheWindowsTablePasses) {
    const testing::ScreenDpiForNewProcesses screen(static_cast<DWORD>(GetParam()));
    DWORD exitCode = 1;
    ASSERT_TRUE(testing::RunThisProgram(
        "--at-dpi " + std::to_string(GetParam()) + " --gtest_filter=AtThisDpi/WholeText.*",
        exitCode));
    EXPECT_EQ(exitCode, 0u) << "failures above, at " << GetParam() << " dpi";
}

INSTANTIATE_TEST_SUITE_P(Dpi, WholeTextAtEachDpi, ::testing::Values(96, 120, 144, 192));

}  // namespace
}  // namespace norvane
