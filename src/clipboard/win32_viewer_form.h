// "Display Clipboard Data": the clipboard's text or bitmap, and the window
// class of the program that put it there.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "clipboard/clipboard_service.h"
#include "ui/form.h"

namespace norvane {

// The free address space of the process in bytes.
using AddressSpaceProbe = std::function<std::uint64_t()>;
std::uint64_t AvailableAddressSpace();

// The viewer's components, in the order of its layout table.
enum class ViewerFormPart {
    Image1,
    Panel1,
    RichEdit1,
    Exit_BitBtn,
    View_Text_BitBtn,
    View_Bitmap_BitBtn,
    Refresh_BitBtn,
    Count,
};

class TClipboard_Viewer_Form final : public FormOf<ViewerFormPart> {
  public:
    // `available` tells the free address space, which bounds how much text
    // the rich edit box is given.
    TClipboard_Viewer_Form(MessageDialog& messages, ClipboardService& clipboard, HWND owner,
                           AddressSpaceProbe available = AvailableAddressSpace);

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
    AddressSpaceProbe available_;
    std::string cutShort_;  // the message for a text shown in part, until it is shown
};

// Puts a text into a rich edit box as plain text: the box's limit is raised
// first (it keeps only 32767 characters otherwise), and it is not redrawn
// while the text goes in. Streamed in chunk by chunk, and only as far as the
// free address space (what `available` tells) holds what the box needs to
// lay the text out. Returns how many characters went in.
std::size_t SetRichEditText(HWND richEdit, std::string_view text,
                            const AddressSpaceProbe& available = AvailableAddressSpace);

}  // namespace norvane
