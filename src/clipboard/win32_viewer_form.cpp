#include "clipboard/win32_viewer_form.h"

#include <richedit.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "resources/resource_ids.h"
#include "clipboard/viewer_layout.h"
#include "ui/application.h"
#include "ui/handles.h"
#include "ui/wait_cursor.h"

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

struct StreamSource {
    std::string_view text;
    std::size_t at;
    const AddressSpaceProbe& available;
    std::uint64_t availableAtStart;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const std::string_view rest = source->text.substr(source->at);
    std::size_t count =
        StreamChunkLength(rest, static_cast<std::size_t>(std::max<LONG>(wanted, 0)));
    // Nothing more (the end of the stream) once the box could not lay it out.
    if (!RoomForChunk(source->availableAtStart, source->available(), source->at, count)) count = 0;
    std::memcpy(buffer, rest.data(), count);
    source->at += count;
    *given = static_cast<LONG>(count);
    return 0;
}

}  // namespace

std::uint64_t AvailableAddressSpace() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    return status.ullAvailVirtual;
}

std::size_t SetRichEditText(HWND richEdit, std::string_view text,
                            const AddressSpaceProbe& available) {
    const auto limit = std::max<std::size_t>(text.size() + 1, 32767);
    SendMessageA(richEdit, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(limit));
    // Streamed in as plain text: faster than WM_SETTEXT, and a text that
    // happens to start like RTF is still shown as it is.
    StreamSource source{text, 0, available, available()};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, &ReadStream};
    {
        const RedrawSuspended unseen(richEdit);
        SendMessageA(richEdit, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    }
    return source.at;
}

TClipboard_Viewer_Form::TClipboard_Viewer_Form(MessageDialog& messages, ClipboardService& clipboard,
                                               HWND owner, AddressSpaceProbe available)
    : FormOf(kForm, messages, owner), clipboard_(clipboard), available_(std::move(available)) {}

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
        const WaitCursor loading;
        SetCaption(ViewerCaptionFor(clipboard_.WindowClassName(clipboard_.Owner())));
        OpenClipboardScope open(clipboard_, Handle());
        if (text) LoadText();
        if (bitmap) LoadBitmap();
    }

    if (IsEnabled(Get(View_Bitmap_BitBtn)))
        View_Bitmap_BitBtnClick();
    else if (IsEnabled(Get(View_Text_BitBtn)))
        View_Text_BitBtnClick();
    else
        SetVisible(Get(Panel1), true);
    ProcessPendingMessages();
    // Said once what was loaded is on view and the clipboard closed again.
    if (!cutShort_.empty())
        Messages().Show(std::exchange(cutShort_, {}), MessageKind::Warning, MessageButtons::Ok);
}

void TClipboard_Viewer_Form::LoadText() {
    Component& box = Get(RichEdit1);
    const bool read = clipboard_.ReadText([&](std::string_view text) {
        // A fresh box: emptying one that holds much text takes the rich edit
        // time that grows with the square of its lines.
        RecreateWindowOf(box);
        const std::size_t shown = SetRichEditText(box.hwnd, text, available_);
        if (shown < text.size()) cutShort_ = TextTooLargeMessage(shown, text.size());
    });
    if (!read) throw std::runtime_error(kClipboardDataError);
    SetEnabled(Get(View_Text_BitBtn), true);
}

void TClipboard_Viewer_Form::LoadBitmap() {
    const BitmapHandle copy = clipboard_.CopyBitmap();
    if (!copy) throw std::runtime_error(kClipboardDataError);
    SetPicture(Get(Image1), copy);
    UpdateWindow(Get(Image1).hwnd);
    SetEnabled(Get(View_Bitmap_BitBtn), true);
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
