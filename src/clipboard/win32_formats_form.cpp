#include "clipboard/win32_formats_form.h"

#include <array>

#include "app/resource.h"
#include "clipboard/format_list.h"

namespace norvane {
namespace {

using K = ComponentKind;

const std::array kLayout{
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
                  .onClick = Bind(&TClipboard_Formats_Form::Exit_BitBtnClick)},
    ComponentSpec{.name = "Refresh_BitBtn",
                  .kind = K::BitBtn,
                  .left = 27,
                  .top = 219,
                  .width = 101,
                  .height = 26,
                  .caption = "Refresh",
                  .glyph = IDB_REFRESH_GLYPH,
                  .onClick = Bind(&TClipboard_Formats_Form::Refresh_BitBtnClick)},
};

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
    : Form(kForm, messages, owner), clipboard_(clipboard) {}

void TClipboard_Formats_Form::FormShow() {
    HWND list = Find("ListBox1").hwnd;
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const FormatList formats = ReadFormatList(clipboard_);
    SetTextOf(Find("Label1"), formats.countLine);
    for (const std::string& line : formats.lines)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TClipboard_Formats_Form::Refresh_BitBtnClick() {
    FormShow();
}

void TClipboard_Formats_Form::Exit_BitBtnClick() {
    Close();
}

}  // namespace norvane
