#include "clipboard/win32_formats_form.h"

#include <windowsx.h>

#include <algorithm>
#include <array>

#include "resources/resource_ids.h"
#include "clipboard/format_list.h"
#include "clipboard/win32_format_inspector_form.h"
#include "ui/handles.h"

namespace norvane {

using enum FormatsFormPart;

namespace {

using K = ComponentKind;

constexpr std::array kLayout{
    ComponentSpec{.name = "Label1",
                  .kind = K::Label,
                  .left = 8,
                  .top = 13,
                  .width = 40,
                  .height = 13,
                  .caption = "Label1",
                  .flags = kAutoSize},
    ComponentSpec{
        .name = "ListBox1", .kind = K::ListBox, .left = 3, .top = 34, .width = 277, .height = 178},
    ComponentSpec{.name = "Exit_BitBtn",
                  .kind = K::BitBtn,
                  .left = 155,
                  .top = 219,
                  .width = 102,
                  .height = 26,
                  .caption = "Close",
                  .glyph = IDB_CLOSE_GLYPH,
                  .onClick = Bind<&TClipboard_Formats_Form::Exit_BitBtnClick>},
    ComponentSpec{.name = "Refresh_BitBtn",
                  .kind = K::BitBtn,
                  .left = 27,
                  .top = 219,
                  .width = 101,
                  .height = 26,
                  .caption = "Refresh",
                  .glyph = IDB_REFRESH_GLYPH,
                  .onClick = Bind<&TClipboard_Formats_Form::Refresh_BitBtnClick>},
};

static_assert(IsLayoutOf<FormatsFormPart>(kLayout));

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
                                                 ClipboardService& clipboard, HWND owner)
    : FormOf(kForm, messages, owner), clipboard_(clipboard) {
    SetKeyPreview(true);  // the line menu's keys: Shift+F10 and the menu key
}

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
    for (const std::string& line : formats.lines)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TClipboard_Formats_Form::Refresh_BitBtnClick() {
    FormShow();
}

void TClipboard_Formats_Form::Exit_BitBtnClick() {
    Close();
}

// The format inspector and Save As, from a line of the list: a double-click
// or the line's context menu (right click, Shift+F10, the menu key).

namespace {

enum LineCommand : UINT { kInspectCommand = 1, kSaveAsCommand = 2 };

std::string ListBoxLineText(HWND list, int index) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::string line(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(line.data()));
    line.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
    return line;
}

// The line under a point of the screen; -1 on the blank below the last one.
int LineAt(HWND list, POINT screen) {
    ScreenToClient(list, &screen);
    const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(screen.x, screen.y));
    return HIWORD(hit) ? -1 : LOWORD(hit);
}

}  // namespace

TFormat_Inspector_Form& TClipboard_Formats_Form::Inspector() {
    if (!inspector_)
        inspector_ = std::make_unique<TFormat_Inspector_Form>(Messages(), clipboard_, Handle());
    return *inspector_;
}

void TClipboard_Formats_Form::InspectLine(int index) {
    const std::string line = ListBoxLineText(Get(ListBox1).hwnd, index);
    if (const auto format = FormatOfLine(line)) Inspector().Inspect(*format, line);
}

void TClipboard_Formats_Form::SaveLine(int index) {
    const std::string line = ListBoxLineText(Get(ListBox1).hwnd, index);
    if (const auto format = FormatOfLine(line))
        SaveFormatFromClipboard(clipboard_, Messages(), *format, line, Handle());
}

void TClipboard_Formats_Form::ShowLineMenu(LPARAM where) {
    HWND list = Get(ListBox1).hwnd;
    POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    int index;
    if (where == -1) {
        // From the keyboard: the menu opens at the selected line.
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
    if (index < 0) return;
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kInspectCommand, "&Inspect...");
    AppendMenuA(menu, MF_STRING, kSaveAsCommand, "&Save As...");
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, Handle(), nullptr));
    DestroyMenu(menu);
    if (chosen == kInspectCommand) InspectLine(index);
    if (chosen == kSaveAsCommand) SaveLine(index);
}

void TClipboard_Formats_Form::FormKeyDown(WORD& key) {
    const bool menuKey = key == VK_APPS || (key == VK_F10 && GetKeyState(VK_SHIFT) < 0);
    if (!menuKey || GetFocus() != Get(ListBox1).hwnd) return;
    key = 0;
    ShowLineMenu(-1);
}

LRESULT TClipboard_Formats_Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The list is reached only for the messages about it: the form's
    // components are made at its first showing, and messages come before.
    if (message == WM_COMMAND && HIWORD(wParam) == LBN_DBLCLK &&
        reinterpret_cast<HWND>(lParam) == Get(ListBox1).hwnd) {
        // Only a double-click on a line: not on the blank below the last one.
        const DWORD at = GetMessagePos();
        const int index = LineAt(Get(ListBox1).hwnd, {GET_X_LPARAM(at), GET_Y_LPARAM(at)});
        if (index >= 0) Guarded([&] { InspectLine(index); });
        return 0;
    }
    // The menu from the keyboard comes through FormKeyDown, so that it opens
    // once however the system turns those keys into WM_CONTEXTMENU.
    if (message == WM_CONTEXTMENU && lParam != -1 &&
        reinterpret_cast<HWND>(wParam) == Get(ListBox1).hwnd) {
        Guarded([&] { ShowLineMenu(lParam); });
        return 0;
    }
    return Form::OnMessage(message, wParam, lParam);
}

}  // namespace norvane
