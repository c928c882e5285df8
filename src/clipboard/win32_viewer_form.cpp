#include "clipboard/win32_viewer_form.h"

#include <richedit.h>

#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <stdexcept>
#include <utility>

#include "clipboard/viewer_layout.h"
#include "clipboard/win32_clipboard_picture.h"
#include "resources/resource_ids.h"
#include "ui/application.h"
#include "ui/handles.h"
#include "ui/wait_cursor.h"
#include "util/flag_scope.h"

namespace norvane {

using enum ViewerFormPart;

namespace {

using K = ComponentKind;

// Designed at 120 pixels per inch.
constexpr auto kLayout = LayoutOf<TClipboard_Viewer_Form>({
    {.part = Image1,
     .name = "Image1",
     .kind = K::Picture,
     .left = 80,
     .top = 80,
     .width = 145,
     .height = 139,
     .flags = kAlignClient},
    {.part = Panel1,
     .name = "Panel1",
     .kind = K::Panel,
     .left = 30,
     .top = 20,
     .width = 325,
     .height = 61,
     .caption = kViewerNotice,
     .flags = kAlignClient},
    {.part = RichEdit1,
     .name = "RichEdit1",
     .kind = K::RichEdit,
     .left = 300,
     .top = 24,
     .width = 202,
     .height = 141,
     .flags = kAlignClient},
    // Under the buttons, so that Close can be pressed while it shows.
    {.part = Loading_Panel,
     .name = "Loading_Panel",
     .kind = K::Panel,
     .left = 30,
     .top = 20,
     .width = 325,
     .height = 61,
     .flags = kHidden | kAlignClient},
    {.part = Exit_BitBtn,
     .name = "Exit_BitBtn",
     .kind = K::BitBtn,
     .left = 290,
     .top = 322,
     .width = 125,
     .height = 31,
     .caption = "Close",
     .glyph = IDB_CLOSE_GLYPH,
     .onClick = Bind<&TClipboard_Viewer_Form::Exit_BitBtnClick>},
    {.part = View_Text_BitBtn,
     .name = "View_Text_BitBtn",
     .kind = K::Button,
     .left = 12,
     .top = 320,
     .width = 125,
     .height = 31,
     .caption = "View Text",
     .flags = kHidden,
     .onClick = Bind<&TClipboard_Viewer_Form::View_Text_BitBtnClick>},
    {.part = View_Bitmap_BitBtn,
     .name = "View_Bitmap_BitBtn",
     .kind = K::Button,
     .left = 10,
     .top = 286,
     .width = 125,
     .height = 31,
     .caption = "View Bitmap",
     .flags = kHidden,
     .onClick = Bind<&TClipboard_Viewer_Form::View_Bitmap_BitBtnClick>},
    {.part = Refresh_BitBtn,
     .name = "Refresh_BitBtn",
     .kind = K::BitBtn,
     .left = 151,
     .top = 322,
     .width = 125,
     .height = 31,
     .caption = "Refresh",
     .glyph = IDB_REFRESH_GLYPH,
     .onClick = Bind<&TClipboard_Viewer_Form::Refresh_BitBtnClick>},
});

const FormSpec kForm{
    .className = "TClipboard_Viewer_Form",
    .caption = "Clipboard_Viewer_Form",
    .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
    .exStyle = 0,
    .left = 150,
    .top = 173,
    .width = 578,
    .height = 386,
    .clientSized = false,
    .font = {.face = "MS Sans Serif", .height = -13},
    .designDpi = 120,
    .designTextHeight = 16,
    .components = kLayout,
    .icon = IDI_MAINICON,
    .componentsOnDemand = true,
};

// The code page that stands for UTF-16 in a rich edit box's messages.
constexpr UINT kUtf16CodePage = 1200;

// A WM_QUIT waits in the queue: the program is ending.
bool QuitPending() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
}

}  // namespace

std::uint64_t AvailableAddressSpace() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    return status.ullAvailVirtual;
}

RichEditFiller::RichEditFiller(HWND richEdit, std::u16string_view text,
                               const AddressSpaceProbe& available)
    : box_(richEdit),
      text_(text),
      available_(available),
      availableAtStart_(available()),
      unseen_(richEdit) {
    const auto limit = std::max<std::size_t>(text.size() + 1, 32767);
    SendMessageA(box_, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(limit));
    SetWindowTextA(box_, "");
}

bool RichEditFiller::StreamPiece() {
    if (full_ || loaded_ == text_.size()) return false;
    const std::u16string_view rest = text_.substr(loaded_);
    std::size_t length = PieceLength(rest, kLoadPieceChars);
    // Smaller pieces as the free address space runs out, cut inside a line
    // if need be, and none once the box could not lay out even a small one.
    while (!RoomForChunk(availableAtStart_, available_(), loaded_, length)) {
        if (length <= kSmallestPieceChars) {
            full_ = true;
            return false;
        }
        length = SafeCutLength(rest, length / 2);
    }
    piece_.assign(rest.substr(0, length));  // the box wants it zero-terminated
    // Appended at the end as UTF-16, with no undo steps kept: a text that
    // happens to start like RTF is still shown as it is.
    CHARRANGE end{LONG_MAX, LONG_MAX};
    SendMessageA(box_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    SETTEXTEX how{ST_SELECTION, kUtf16CodePage};
    SendMessageA(box_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                 reinterpret_cast<LPARAM>(piece_.c_str()));
    loaded_ += length;
    return loaded_ < text_.size();
}

std::size_t SetRichEditText(HWND richEdit, std::u16string_view text,
                            const AddressSpaceProbe& available) {
    RichEditFiller filler(richEdit, text, available);
    while (filler.StreamPiece()) {
    }
    return filler.Loaded();
}

TClipboard_Viewer_Form::TClipboard_Viewer_Form(MessageDialog& messages, ClipboardService& clipboard,
                                               HWND owner, AddressSpaceProbe available)
    : FormOf(kForm, messages, owner), clipboard_(clipboard), available_(std::move(available)) {
    SetKeyPreview(true);  // Esc stops a load, wherever the focus is
}

void TClipboard_Viewer_Form::FormResize() {
    for (ViewerFormPart part : {Exit_BitBtn, Refresh_BitBtn}) {
        Component& button = Get(part);
        const Bounds b = BoundsOf(button);
        const ViewerButtonPlaces places =
            PlaceViewerButtons(ClientWidth(), ClientHeight(), b.width, b.height);
        const int left = part == Exit_BitBtn ? places.closeLeft : places.refreshLeft;
        SetBoundsOf(button, {left, places.top, b.width, b.height});
    }
}

void TClipboard_Viewer_Form::FormShow() {
    // Messages are handled during a load: a Refresh pressed then is not a
    // second load inside the first.
    if (loading_) return;
    stopRequested_ = closeRequested_ = false;
    {
        const FlagScope loading(loading_);
        Load();
    }
    // Closed during the load: it was abandoned, and the viewer closes now.
    if (closeRequested_) Close();
}

// Held only while the data is copied out, not while the box takes the
// text: other programs cannot open the clipboard meanwhile.
ViewerCopy TClipboard_Viewer_Form::CopyHere(bool text, bool picture) {
    ViewerCopy copy;
    const OpenClipboardScope open(clipboard_, Handle());
    if (text) copy.text = clipboard_.CopyText();
    if (picture && (copy.text || !text)) copy.picture = CopyClipboardPicture(clipboard_);
    return copy;
}

void TClipboard_Viewer_Form::Load() {
    cutShort_.clear();

    FormResize();
    AlignClientComponents();
    SetVisible(Get(Panel1), false);
    SetEnabled(Get(View_Text_BitBtn), false);
    SetEnabled(Get(View_Bitmap_BitBtn), false);
    ProcessPendingMessages();
    SetVisible(Get(Image1), false);
    SetVisible(Get(RichEdit1), false);
    SetCaption(kViewerCaption);

    const bool text = clipboard_.IsFormatAvailable(kTextFormat);
    const bool bitmap = clipboard_.IsFormatAvailable(kBitmapFormat);
    if (text || bitmap) {
        const WaitCursor waiting;
        SetCaption(ViewerCaptionFor(clipboard_.WindowClassName(clipboard_.Owner())));
        ViewerCopy copy =
            copier_ ? copier_(text, bitmap, [this] { return stopRequested_ || closeRequested_; })
                    : CopyHere(text, bitmap);
        if (closeRequested_) return;
        // Given up while copying (Esc): nothing was copied, and nothing is shown.
        if (!copy.givenUp) {
            if (text && !copy.text) throw std::runtime_error(kClipboardDataError);
            if (text) LoadText(*std::exchange(copy.text, std::nullopt));
            if (closeRequested_) return;
            if (bitmap) LoadBitmap(std::move(copy.picture));
        }
    }

    // A load without text keeps none of an earlier one either.
    if (!IsEnabled(Get(View_Text_BitBtn))) EmptyTextBox();
    if (IsEnabled(Get(View_Bitmap_BitBtn)))
        View_Bitmap_BitBtnClick();
    else if (IsEnabled(Get(View_Text_BitBtn)))
        View_Text_BitBtnClick();
    else
        SetVisible(Get(Panel1), true);
    ProcessPendingMessages();
    // Said once what was loaded is on view and the clipboard closed again,
    // unless the viewer is closing.
    if (!cutShort_.empty() && !closeRequested_)
        Messages().Show(std::exchange(cutShort_, {}), MessageKind::Warning, MessageButtons::Ok);
}

void TClipboard_Viewer_Form::LoadText(std::u16string_view text) {
    Component& box = Get(RichEdit1);
    // A fresh box: emptying one that holds much text takes the rich edit
    // time that grows with the square of its lines.
    RecreateWindowOf(box);
    RichEditFiller filler(box.hwnd, text, available_);
    const DWORD start = GetTickCount();
    bool progressShown = false;
    while (filler.StreamPiece()) {
        if (progressShown || GetTickCount() - start >= kShowProgressAfterMs) {
            ShowProgress(filler.Loaded(), text.size());
            progressShown = true;
        }
        ProcessPendingMessages();
        if (stopRequested_ || QuitPending()) break;
    }
    SetVisible(Get(Loading_Panel), false);
    if (filler.Loaded() < text.size())
        cutShort_ = filler.Full() ? TextTooLargeMessage(filler.Loaded(), text.size())
                                  : TextStoppedMessage(filler.Loaded(), text.size());
    SetEnabled(Get(View_Text_BitBtn), true);
}

void TClipboard_Viewer_Form::ShowProgress(std::size_t loaded, std::size_t whole) {
    Component& panel = Get(Loading_Panel);
    SetTextOf(panel, LoadProgressText(loaded, whole));
    if (!IsVisible(panel)) {
        SetVisible(panel, true);
        // The viewer itself shows only once its load is done: not this one.
        if (!IsWindowVisible(Handle())) ShowWindow(Handle(), SW_SHOW);
    }
}

void TClipboard_Viewer_Form::LoadBitmap(UniqueBitmap picture) {
    if (!picture) throw std::runtime_error(kClipboardDataError);
    SetPicture(Get(Image1), picture.release());
    UpdateWindow(Get(Image1).hwnd);
    SetEnabled(Get(View_Bitmap_BitBtn), true);
}

void TClipboard_Viewer_Form::EmptyTextBox() {
    Component& box = Get(RichEdit1);
    if (GetWindowTextLengthA(box.hwnd) > 0) RecreateWindowOf(box);
}

void TClipboard_Viewer_Form::FormCloseQuery(bool& canClose) {
    if (loading_) {
        // The user asked to close, not to see what was loaded: the load
        // stops after the piece going in, and the viewer then closes.
        stopRequested_ = closeRequested_ = true;
        canClose = false;
        return;
    }
    EmptyTextBox();
}

void TClipboard_Viewer_Form::FormKeyDown(WORD& key) {
    if (loading_ && key == VK_ESCAPE) {
        stopRequested_ = true;
        key = 0;
    }
}

void TClipboard_Viewer_Form::View_Text_BitBtnClick() {
    SetVisible(Get(RichEdit1), true);
    SetVisible(Get(Image1), false);
    ProcessPendingMessages();
}

void TClipboard_Viewer_Form::View_Bitmap_BitBtnClick() {
    SetVisible(Get(RichEdit1), false);
    SetVisible(Get(Image1), true);
    ProcessPendingMessages();
}

void TClipboard_Viewer_Form::Refresh_BitBtnClick() {
    FormShow();
}

void TClipboard_Viewer_Form::Exit_BitBtnClick() {
    Close();
}

}  // namespace norvane
