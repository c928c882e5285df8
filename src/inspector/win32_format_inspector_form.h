// The format inspector: one clipboard format's header, its bytes as a hex
// dump and, for text formats, its text; opened from the format list.
#pragma once

#include <memory>
#include <string>

#include "clipboard/clipboard_service.h"
#include "inspector/format_inspection.h"
#include "inspector/win32_dump_view.h"
#include "inspector/win32_picture_view.h"
#include "ui/form.h"

namespace norvane {

// The inspector's components, in the order of its layout table.
enum class InspectorFormPart {
    Header_Label,
    Dump_Place,
    Text_RichEdit,
    Save_As_BitBtn,
    Refresh_BitBtn,
    Exit_BitBtn,
    Count,
};

class TFormat_Inspector_Form final : public FormOf<InspectorFormPart> {
  public:
    TFormat_Inspector_Form(MessageDialog& messages, ClipboardService& clipboard, HWND owner);

    // Reads the format and shows it modally; `line` is its line in the list.
    void Inspect(unsigned format, const std::string& line);
    // The format the next show reads.
    void SetFormat(unsigned format, const std::string& line);

    void Save_As_BitBtnClick();
    void Refresh_BitBtnClick();
    void Exit_BitBtnClick();

    DumpView& Dump() { return *dump_; }
    PictureView& Picture() { return *picture_; }
    const FormatReading& Reading() const { return reading_; }

  protected:
    void FormShow() override;

  private:
    void ShowText(std::span<const std::uint8_t> bytes, TextEncoding encoding);
    void PlaceViews(bool withText, bool withPicture);

    ClipboardService& clipboard_;
    std::unique_ptr<DumpView> dump_;
    std::unique_ptr<PictureView> picture_;
    unsigned format_ = 0;
    std::string line_;
    FormatReading reading_;
};

}  // namespace norvane
