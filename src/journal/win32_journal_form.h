// "Clipboard Journal": the journal's entries, newest first, one a line in
// columns, following the journal live without taking the focus; modeless,
// beside the program's other windows; "Save As..." writes them as
// tab-separated text.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "journal/clipboard_journal.h"
#include "ui/form.h"

namespace norvane {

// The journal window's components, in the order of its layout table.
enum class JournalFormPart {
    Count_Label,
    Entries_ListView,
    Save_As_BitBtn,
    Exit_BitBtn,
    Follow_Timer,
    Count,
};

class TClipboard_Journal_Form final : public FormOf<JournalFormPart> {
  public:
    // Follows `journal`, which must outlive it, from its first showing on.
    TClipboard_Journal_Form(MessageDialog& messages, ClipboardJournal& journal, HWND owner);
    ~TClipboard_Journal_Form() override;

    // Shows the window with the list focused, or brings it to the front.
    void Open();

    void Save_As_BitBtnClick();
    void Exit_BitBtnClick();
    void Entries_ListViewCellText(ListCellRequest& cell);
    void Entries_ListViewLineTip(ListCellRequest& tip);
    void Follow_TimerTimer();

  protected:
    void FormShow() override;
    void FormHide() override;
    void FormVisible() override;
    void FormKeyDown(WORD& key) override;

  private:
    void FollowJournal();
    // Brings the list and the count line up to what the journal holds.
    void ShowJournal();
    // The formats column's text at the column's width now.
    std::string FittedFormatsText(const std::string& names, std::size_t count);

    ClipboardJournal& journal_;
    // Entries ever recorded when the list last followed: those since are
    // the new lines at its top.
    std::uint64_t shownTotal_ = 0;
    // The texts of the line drawn last: a line's cells are asked one by one.
    std::optional<std::size_t> cachedLine_;
    std::array<std::string, kJournalColumnTitles.size()> cachedTexts_;
};

}  // namespace norvane
