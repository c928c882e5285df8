// "List Clipboard Format": the count line and one line per format.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "clipboard/clipboard_service.h"
#include "clipboard/format_line_actions.h"
#include "ui/form.h"

namespace norvane {

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
    // Without `makeLineActions` a line offers nothing beyond the list;
    // without `openJournal` the line menu offers no clipboard journal.
    TClipboard_Formats_Form(MessageDialog& messages, ClipboardService& clipboard, HWND owner,
                            FormatLineActionsMaker makeLineActions = {},
                            std::function<void()> openJournal = {});
    ~TClipboard_Formats_Form() override;

    void Refresh_BitBtnClick();
    void Exit_BitBtnClick();
    void ListBox1DblClick();
    void ListBox1ContextPopup(const PopupRequest& request);

    // The line's actions for line `index`, "Inspect..." and "Save As...",
    // and "Save All Formats...": what a double-click and the line's context
    // menu run.
    void InspectLine(int index);
    void SaveLine(int index);
    void SaveAllFormats();

  protected:
    void FormShow() override;
    void FormHide() override;

  private:
    // The format number of line `index`; none for no line.
    std::optional<unsigned> FormatOfLine(int index);
    // None when the list was given no maker for them.
    FormatLineActions* LineActions();

    ClipboardService& clipboard_;
    FormatLineActionsMaker makeLineActions_;
    std::function<void()> openJournal_;
    std::unique_ptr<FormatLineActions> lineActions_;  // made when a line first asks
};

}  // namespace norvane
