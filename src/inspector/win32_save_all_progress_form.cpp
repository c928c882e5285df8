#include "inspector/win32_save_all_progress_form.h"

#include <commctrl.h>

#include "resources/resource_ids.h"

namespace norvane {

using enum SaveAllProgressPart;

namespace {

using K = ComponentKind;

constexpr auto kLayout = LayoutOf<TSave_All_Progress_Form>({
    {.part = Saving_Label,
     .name = "Saving_Label",
     .kind = K::Label,
     .left = 12,
     .top = 12,
     .width = 276,
     .height = 16,
     .caption = "",
     .flags = kNoWordWrap},
    {.part = Saving_ProgressBar,
     .name = "Saving_ProgressBar",
     .kind = K::ProgressBar,
     .left = 12,
     .top = 34,
     .width = 276,
     .height = 18},
    {.part = Cancel_Button,
     .name = "Cancel_Button",
     .kind = K::Button,
     .left = 112,
     .top = 64,
     .width = 76,
     .height = 24,
     .caption = "Cancel",
     .onClick = Bind<&TSave_All_Progress_Form::Cancel_ButtonClick>},
});

const FormSpec kForm{
    .className = "TSave_All_Progress_Form",
    .caption = "Save All Formats",
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
    .exStyle = WS_EX_DLGMODALFRAME,
    .left = 0,
    .top = 0,
    .width = 300,
    .height = 98,
    .clientSized = true,
    .font = {.face = "MS Sans Serif", .height = -11},
    .designDpi = 96,
    .designTextHeight = 13,
    .components = kLayout,
    .icon = IDI_MAINICON,
};

}  // namespace

std::string SavingText(std::size_t saving, std::size_t total) {
    return "Saving " + std::to_string(saving) + " of " + std::to_string(total) + " formats...";
}

TSave_All_Progress_Form::TSave_All_Progress_Form(MessageDialog& messages, HWND owner)
    : FormOf(kForm, messages, owner), owner_(owner) {
    SetKeyPreview(true);  // Esc stops, wherever the focus is
}

void TSave_All_Progress_Form::ShowReading() {
    SetTextOf(Get(Saving_Label), kReadingFormatsText);
    ShowOverOwner();
}

void TSave_All_Progress_Form::ShowSaving(std::size_t saving, std::size_t total) {
    SetTextOf(Get(Saving_Label), SavingText(saving, total));
    HWND bar = Get(Saving_ProgressBar).hwnd;
    SendMessageA(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
    SendMessageA(bar, PBM_SETPOS, saving - 1, 0);
    ShowOverOwner();
}

void TSave_All_Progress_Form::ShowOverOwner() {
    if (IsWindowVisible(Handle())) return;
    RECT over{};
    if (!owner_ || !GetWindowRect(owner_, &over))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &over, 0);
    const Bounds self = OuterBounds();
    SetLeft((over.left + over.right - self.width) / 2);
    SetTop((over.top + over.bottom - self.height) / 2);
    Show();
}

void TSave_All_Progress_Form::Cancel_ButtonClick() {
    stopAsked_ = true;
}

void TSave_All_Progress_Form::FormCloseQuery(bool& canClose) {
    // Closed by the save once it stops, not by the user.
    stopAsked_ = true;
    canClose = false;
}

void TSave_All_Progress_Form::FormKeyDown(WORD& key) {
    if (key == VK_ESCAPE) {
        stopAsked_ = true;
        key = 0;
    }
}

}  // namespace norvane
