// The progress of "Save All Formats...": "Saving N of M formats...", a
// progress bar and Cancel. Cancel, Esc or closing it ask the save to stop
// after the file it is writing.
#pragma once

#include <cstddef>
#include <string>

#include "ui/form.h"

namespace norvane {

enum class SaveAllProgressPart {
    Saving_Label,
    Saving_ProgressBar,
    Cancel_Button,
    Count,
};

// "Saving 3 of 12 formats..."
std::string SavingText(std::size_t saving, std::size_t total);
inline constexpr const char* kReadingFormatsText = "Reading the formats from the clipboard...";

class TSave_All_Progress_Form final : public FormOf<SaveAllProgressPart> {
  public:
    // Shown centred over `owner`.
    TSave_All_Progress_Form(MessageDialog& messages, HWND owner);

    // The formats are being read from the clipboard; shows the form.
    void ShowReading();
    // Format `saving` (from 1) of `total` is being written; shows the form.
    void ShowSaving(std::size_t saving, std::size_t total);
    bool StopAsked() const { return stopAsked_; }

    void Cancel_ButtonClick();

  protected:
    void FormCloseQuery(bool& canClose) override;
    void FormKeyDown(WORD& key) override;

  private:
    void ShowOverOwner();

    HWND owner_;
    bool stopAsked_ = false;
};

}  // namespace norvane
