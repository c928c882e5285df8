// "List Clipboard Format": the count line and one line per format.
#pragma once

#include "clipboard/clipboard_service.h"
#include "ui/form.h"

namespace norvane {

// The format list's components, in the order of its layout table.
enum class FormatsFormPart {
    Label1,
    ListBox1,
    Exit_BitBtn,
    Refresh_BitBtn,
};

class TClipboard_Formats_Form final : public FormOf<FormatsFormPart> {
  public:
    TClipboard_Formats_Form(MessageDialog& messages, ClipboardService& clipboard, HWND owner);

    void Refresh_BitBtnClick();
    void Exit_BitBtnClick();

  protected:
    void FormShow() override;

  private:
    ClipboardService& clipboard_;
};

}  // namespace norvane
