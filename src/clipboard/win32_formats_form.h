// "List Clipboard Format": the count line and one line per format.
#pragma once

#include <memory>
#include <optional>

#include "clipboard/clipboard_service.h"
#include "ui/form.h"

namespace norvane {

class TFormat_Inspector_Form;

// The format list's components, in the order of its layout table.
enum class FormatsFormPart {
    Label1,
    ListBox1,
    Exit_BitBtn,
    Refresh_BitBtn,
    Count,
};

class TClipboard_Formats_Form final : public FormOf<FormatsFormPart> {
  public:
    TClipboard_Formats_Form(MessageDialog& messages, ClipboardService& clipboard, HWND owner);
    ~TClipboard_Formats_Form() override;

    void Refresh_BitBtnClick();
    void Exit_BitBtnClick();
    void ListBox1DblClick();
    void ListBox1ContextPopup(const PopupRequest& request);

    // The format inspector over the line `index`, and Save As for it: what
    // a double-click and the line's context menu run.
    void InspectLine(int index);
    void SaveLine(int index);
    TFormat_Inspector_Form& Inspector();

  protected:
    void FormShow() override;

  private:
    // The format number of line `index`; none for no line.
    std::optional<unsigned> FormatOfLine(int index);

    ClipboardService& clipboard_;
    std::unique_ptr<TFormat_Inspector_Form> inspector_;  // made when first opened
};

}  // namespace norvane
