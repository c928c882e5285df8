#include "clipboard/win32_formats_form.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <utility>

#include "clipboard/format_list.h"
#include "resources/resource_ids.h"
#include "ui/handles.h"

namespace norvane {

using enum FormatsFormPart;

namespace {

using K = ComponentKind;

constexpr auto kLayout = LayoutOf<TClipboard_Formats_Form>({
    {.part = Label1,
     .name = "Label1",
     .kind = K::Label,
     .left = 8,
     .top = 13,
     .width = 40,
     .height = 13,
     .caption = "Label1",
     .flags = kAutoSize},
    {.part = ListBox1,
     .name = "ListBox1",
     .kind = K::ListBox,
     .left = 3,
     .top = 34,
     .width = 277,
     .height = 178,
     .onDblClick = Bind<&TClipboard_Formats_Form::ListBox1DblClick>,
     .onContextPopup = Bind<&TClipboard_Formats_Form::ListBox1ContextPopup>},
    {.part = Exit_BitBtn,
     .name = "Exit_BitBtn",
     .kind = K::BitBtn,
     .left = 155,
     .top = 219,
     .width = 102,
     .height = 26,
     .caption = "Close",
     .glyph = IDB_CLOSE_GLYPH,
     .onClick = Bind<&TClipboard_Formats_Form::Exit_BitBtnClick>},
    {.part = Refresh_BitBtn,
     .name = "Refresh_BitBtn",
     .kind = K::BitBtn,
     .left = 27,
     .top = 219,
     .width = 101,
     .height = 26,
     .caption = "Refresh",
     .glyph = IDB_REFRESH_GLYPH,
     .onClick = Bind<&TClipboard_Formats_Form::Refresh_BitBtnClick>},
});

const FormSpec kForm{
    .className = "TClipboard_Formats_Form",
    .caption = "Clipboard Data Formats :",
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
    .exStyle = WS_EX_DLGMODALFRAME,
    .left = 427,
    .top = 116,
    .width = 284,
    .height = 246,
    .clientSized = true,
    .font = {.face = "MS Sans Serif", .height = -11},
    .designDpi = 96,
    .designTextHeight = 13,
    .components = kLayout,
    .icon = IDI_MAINICON,
    .componentsOnDemand = true,
};

}  // namespace

TClipboard_Formats_Form::TClipboard_Formats_Form(MessageDialog& messages,
                                                 ClipboardService& clipboard, HWND owner,
                                                 FormatLineActionsMaker makeLineActions,
                                                 std::function<void()> openJournal)
    : FormOf(kForm, messages, owner),
      clipboard_(clipboard),
      makeLineActions_(std::move(makeLineActions)),
      openJournal_(std::move(openJournal)) {}

TClipboard_Formats_Form::~TClipboard_Formats_Form() = default;

void TClipboard_Formats_Form::FormShow() {
    HWND list = Get(ListBox1).hwnd;
    // Rebuilt unseen and painted once: a shown list box otherwise repaints
    // and resizes its scroll bar for every line.
    const RedrawSuspended unseen(list);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const FormatList formats = ReadFormatList(clipboard_);
    SetTextOf(Get(Label1), formats.countLine);
    SendMessageA(list, LB_INITSTORAGE, formats.lines.size(), 0);
    // Each line keeps its format number as its item data.
    for (std::size_t i = 0; i < formats.lines.size(); ++i) {
        const LRESULT at =
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(formats.lines[i].c_str()));
        if (at >= 0)
            SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at),
                         static_cast<LPARAM>(formats.formats[i]));
    }
}

// A Save As still reading brings no dialog once the list is closed.
void TClipboard_Formats_Form::FormHide() {
    if (lineActions_) lineActions_->Cancel();
}

void TClipboard_Formats_Form::Refresh_BitBtnClick() {
    FormShow();
}

void TClipboard_Formats_Form::Exit_BitBtnClick() {
    Close();
}

// The line's actions (the format inspector, Save As and Save All), from a
// line of the list: a double-click or the line's context menu (right click,
// Shift+F10, the menu key). The menu also opens the clipboard journal, from a
// line or from the blank of a list that has none (a cleared clipboard).

namespace {

enum LineCommand : UINT {
    kInspectCommand = 1,
    kSaveAsCommand = 2,
    kSaveAllCommand = 3,
    kJournalCommand = 4,
};

// The line under a point of the screen; -1 on the blank below the last one.
int LineAt(HWND list, POINT screen) {
    ScreenToClient(list, &screen);
    const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(screen.x, screen.y));
    return HIWORD(hit) ? -1 : LOWORD(hit);
}

}  // namespace

FormatLineActions* TClipboard_Formats_Form::LineActions() {
    if (!lineActions_ && makeLineActions_)
        lineActions_ = makeLineActions_({Messages(), clipboard_, Handle()});
    return lineActions_.get();
}

std::optional<unsigned> TClipboard_Formats_Form::FormatOfLine(int index) {
    const LRESULT data =
        SendMessageA(Get(ListBox1).hwnd, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (index < 0 || data == LB_ERR) return std::nullopt;
    return static_cast<unsigned>(data);
}

void TClipboard_Formats_Form::InspectLine(int index) {
    const auto format = FormatOfLine(index);
    if (FormatLineActions* actions = format ? LineActions() : nullptr)
        actions->Inspect(*format, ListBoxLineOf(Get(ListBox1).hwnd, index));
}

void TClipboard_Formats_Form::SaveLine(int index) {
    const auto format = FormatOfLine(index);
    if (FormatLineActions* actions = format ? LineActions() : nullptr)
        actions->SaveAs(*format, ListBoxLineOf(Get(ListBox1).hwnd, index));
}

void TClipboard_Formats_Form::SaveAllFormats() {
    if (FormatLineActions* actions = LineActions()) actions->SaveAll();
}

void TClipboard_Formats_Form::ListBox1DblClick() {
    // Only a double-click on a line: not on the blank below the last one.
    const DWORD at = GetMessagePos();
    const int index = LineAt(Get(ListBox1).hwnd, {GET_X_LPARAM(at), GET_Y_LPARAM(at)});
    if (index >= 0) InspectLine(index);
}

void TClipboard_Formats_Form::ListBox1ContextPopup(const PopupRequest& request) {
    HWND list = Get(ListBox1).hwnd;
    POINT at = request.screen;
    int index;
    if (request.fromKeyboard) {
        // The menu opens at the selected line.
        index = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
        RECT item{};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(std::max(index, 0)),
                     reinterpret_cast<LPARAM>(&item));
        at = {item.left + 8, item.bottom};
        ClientToScreen(list, &at);
    } else {
        // A right click selects the line under the pointer first.
        index = LineAt(list, at);
        if (index >= 0) SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    const bool onLine = index >= 0 && makeLineActions_;
    if (!onLine && !openJournal_) return;
    HMENU menu = CreatePopupMenu();
    if (makeLineActions_) {
        const UINT state = onLine ? MF_STRING : MF_STRING | MF_GRAYED;
        AppendMenuA(menu, state, kInspectCommand, "&Inspect...");
        AppendMenuA(menu, state, kSaveAsCommand, "&Save As...");
        AppendMenuA(menu, MF_STRING, kSaveAllCommand, "Save A&ll Formats...");
    }
    if (openJournal_) AppendMenuA(menu, MF_STRING, kJournalCommand, "Clipboard &Journal...");
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, Handle(), nullptr));
    DestroyMenu(menu);
    if (chosen == kInspectCommand) InspectLine(index);
    if (chosen == kSaveAsCommand) SaveLine(index);
    if (chosen == kSaveAllCommand) SaveAllFormats();
    if (chosen == kJournalCommand) openJournal_();
}

}  // namespace norvane
