// "Display Clipboard Data": the clipboard's text or bitmap, and the window
// class of the program that put it there.
#pragma once

#include "clipboard/clipboard_service.h"
#include "ui/form.h"

namespace norvane {

// The viewer's components, in the order of its layout table.
enum class ViewerFormPart {
    Image1,
    Panel1,
    RichEdit1,
    Exit_BitBtn,
    View_Text_BitBtn,
    View_Bitmap_BitBtn,
    Refresh_BitBtn,
};

class TClipboard_Viewer_Form final : public FormOf<ViewerFormPart> {
  public:
    TClipboard_Viewer_Form(MessageDialog& messages, ClipboardService& clipboard, HWND owner);

    void Exit_BitBtnClick();
    void View_Text_BitBtnClick();
    void View_Bitmap_BitBtnClick();
    void Refresh_BitBtnClick();

  protected:
    void FormShow() override;
    void FormResize() override;

  private:
    void LoadText();
    void LoadBitmap();

    ClipboardService& clipboard_;
};

// Puts a whole text into a rich edit box as plain text: the box's limit is
// raised first (it keeps only 32767 characters otherwise), and it is not
// redrawn while the text goes in.
void SetRichEditText(HWND richEdit, const std::string& text);

}  // namespace norvane
