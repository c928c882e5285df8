// The format inspector: one clipboard format's header, its bytes as a hex
// dump and, for text formats, its text (RTF also formatted beside it);
// opened from the format list. While shown it listens for clipboard change
// notifications and reads its format again once a burst of changes settles
// (or, under changes that never settle, about once a second). The format is
// read, and its text made ready, on the reader's worker thread, and a
// picture decoded or played on the preview's: the window only answers
// meanwhile.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "clipboard/clipboard_service.h"
#include "inspector/format_contents.h"
#include "inspector/format_inspection.h"
#include "inspector/view_places.h"
#include "inspector/win32_dump_view.h"
#include "inspector/win32_format_reader.h"
#include "inspector/win32_formatted_view.h"
#include "inspector/win32_picture_view.h"
#include "inspector/win32_text_view.h"
#include "ui/form.h"
#include "ui/handles.h"

namespace norvane {

// The inspector's components, in the order of its layout table.
enum class InspectorFormPart {
    Header_Label,
    Dump_Place,
    Text_Place,
    Formatted_Place,
    Save_As_BitBtn,
    Refresh_BitBtn,
    Exit_BitBtn,
    Follow_Timer,
    Wait_Timer,
    Count,
};

class TFormat_Inspector_Form final : public FormOf<InspectorFormPart> {
  public:
    static constexpr const char* kReadingText = "Reading the format from the clipboard...";

    TFormat_Inspector_Form(MessageDialog& messages, ClipboardService& clipboard, HWND owner);

    // Reads the format and shows it modally; `line` is its line in the list.
    void Inspect(unsigned format, const std::string& line);
    // The format the next show reads.
    void SetFormat(unsigned format, const std::string& line);

    void Save_As_BitBtnClick();
    void Refresh_BitBtnClick();
    void Exit_BitBtnClick();
    void Follow_TimerTimer();
    void Wait_TimerTimer();

    DumpView& Dump() { return *dump_; }
    PictureView& Picture() { return *picture_; }
    TextView& Text() { return *text_; }
    FormattedView& Formatted() { return *formatted_; }
    // The reading shown; an empty one while a reading is under way.
    const FormatReading& Reading() const;
    bool ReadingUnderWay() const { return reader_->Busy(); }

  protected:
    void FormShow() override;
    void FormHide() override;
    void FormClipboardUpdate() override;

  private:
    void FollowClipboard();
    void ShowReading(std::shared_ptr<InspectedFormat> inspected);
    bool StartFormatting(std::span<const std::uint8_t> rtf);
    void ShowHeader();
    Bounds TextViewBounds(bool withFormatted);
    void PlaceViews();
    void PictureReported(const PictureReport& report);
    void FormattedReported(const FormattedReport& report);

    ClipboardService& clipboard_;
    // What the views show lies within it: it goes after they do.
    std::shared_ptr<InspectedFormat> shown_;
    std::unique_ptr<DumpView> dump_;
    std::unique_ptr<PictureView> picture_;
    std::unique_ptr<TextView> text_;
    std::unique_ptr<FormattedView> formatted_;
    std::unique_ptr<FormatReader> reader_;
    unsigned format_ = 0;
    std::string line_;
    bool reportFailures_ = true;  // of the reading under way, in a box
    // The header of the reading shown: its contents' lines, what the
    // picture and the formatted view add to it, and why only part of the
    // RTF is formatted.
    std::string contentLines_, pictureLines_, headerTail_, formattedCut_;
    bool withText_ = false, withFormatted_ = false, withPicture_ = false;
    // Where PlaceViews last put the picture view: it is moved only when its
    // place changes, never back over a size given to it since.
    ViewPlace picturePlace_;
    std::optional<ClipboardListener> listener_;  // while shown
    // A box or dialog of the form's own is open: a change waits until it closes.
    bool busy_ = false;
    bool following_ = false;            // reading again after a change of the clipboard
    std::optional<DWORD> unreadSince_;  // the tick of the first change not yet read
    DWORD readingSince_ = 0;            // the tick the reading under way started
};

}  // namespace norvane
