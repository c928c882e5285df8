// "Display Clipboard Data": the clipboard's text or bitmap, and the window
// class of the program that put it there.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "clipboard/clipboard_service.h"
#include "ui/form.h"
#include "ui/handles.h"

namespace norvane {

// The free address space of the process in bytes.
using AddressSpaceProbe = std::function<std::uint64_t()>;
std::uint64_t AvailableAddressSpace();

// The viewer's components, in the order of its layout table.
enum class ViewerFormPart {
    Image1,
    Panel1,
    RichEdit1,
    Loading_Panel,
    Exit_BitBtn,
    View_Text_BitBtn,
    View_Bitmap_BitBtn,
    Refresh_BitBtn,
    Count,
};

// What a load shows, copied out of the clipboard.
struct ViewerCopy {
    std::optional<std::u16string> text;  // none: asked for and not got
    UniqueBitmap picture;                // null: not got
    bool givenUp = false;                // the load was given up while copying
};
// Copies the text (when `text`) and the picture (when `picture`, and the
// text was got or not asked for) while the windows answer; `stopped` says
// when the load is given up.
using ViewerCopier =
    std::function<ViewerCopy(bool text, bool picture, const std::function<bool()>& stopped)>;

class TClipboard_Viewer_Form final : public FormOf<ViewerFormPart> {
  public:
    // `available` tells the free address space, which bounds how much text
    // the rich edit box is given.
    TClipboard_Viewer_Form(MessageDialog& messages, ClipboardService& clipboard, HWND owner,
                           AddressSpaceProbe available = AvailableAddressSpace);

    // Copies in another way than on this thread with the clipboard service
    // (the program: in its reader process).
    void SetCopier(ViewerCopier copier) { copier_ = std::move(copier); }

    void Exit_BitBtnClick();
    void View_Text_BitBtnClick();
    void View_Bitmap_BitBtnClick();
    void Refresh_BitBtnClick();

  protected:
    void FormShow() override;
    void FormResize() override;
    // While a text loads: Esc stops the load, and the viewer stays with what
    // was loaded; a close (Close, the close box, Alt+F4) abandons it and
    // closes the viewer, with nothing said. Closing gives back the box's memory.
    void FormCloseQuery(bool& canClose) override;
    void FormKeyDown(WORD& key) override;

  private:
    void Load();
    void LoadText(std::u16string_view text);
    void LoadBitmap(UniqueBitmap picture);
    void ShowProgress(std::size_t loaded, std::size_t whole);
    void EmptyTextBox();

    ViewerCopy CopyHere(bool text, bool picture);

    ClipboardService& clipboard_;
    ViewerCopier copier_;
    AddressSpaceProbe available_;
    std::string cutShort_;  // the message for a text shown in part, until it is shown
    bool loading_ = false;  // a text is going into the box, messages handled between pieces
    bool stopRequested_ = false;
    bool closeRequested_ = false;  // closed during a load
};

// Puts a text into a rich edit box as plain text in place of its own, piece
// by piece (a box that holds much text is emptied faster by making it anew:
// Form::RecreateWindowOf). The box's limit is raised first (it keeps only 32767 characters
// otherwise), and it is not redrawn meanwhile. Each piece goes in only as far as the free address
// space (what `available` tells) holds what the box needs to lay the text out.
class RichEditFiller {
  public:
    RichEditFiller(HWND richEdit, std::u16string_view text, const AddressSpaceProbe& available);

    // Appends the next piece; false once the text is in whole or no more fits.
    bool StreamPiece();
    std::size_t Loaded() const { return loaded_; }
    // Stopped short for want of address space.
    bool Full() const { return full_; }

  private:
    HWND box_;
    std::u16string_view text_;
    const AddressSpaceProbe& available_;
    std::uint64_t availableAtStart_;
    std::size_t loaded_ = 0;
    bool full_ = false;
    std::u16string piece_;
    RedrawSuspended unseen_;
};

// The whole text at once, as far as it fits; returns how many characters went in.
std::size_t SetRichEditText(HWND richEdit, std::u16string_view text,
                            const AddressSpaceProbe& available = AvailableAddressSpace);

}  // namespace norvane
