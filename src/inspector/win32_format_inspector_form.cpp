#include "inspector/win32_format_inspector_form.h"

#include <richedit.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "clipboard/standard_formats.h"
#include "inspector/rich_text.h"
#include "inspector/win32_picture_preview.h"
#include "inspector/win32_save_format.h"
#include "inspector/win32_save_from_clipboard.h"
#include "resources/resource_ids.h"
#include "ui/fonts.h"
#include "util/bytes_of.h"
#include "util/error_number.h"
#include "util/flag_scope.h"
#include "util/mul_div.h"

namespace norvane {

using enum InspectorFormPart;

namespace {

using K = ComponentKind;

constexpr int kDesignDpi = 96;
constexpr int kDumpFontHeight = -12;  // design pixels
constexpr int kViewGap = 6;
// The formatted view reads at most this many bytes of RTF: a rich edit box
// takes seconds over a megabyte.
constexpr std::size_t kFormattedViewLimit = 1 << 20;
// A change of the clipboard is read once no other has come for this long: a
// clipboard manager re-places what was copied, and some programs place
// their formats in several rounds, all within about a tenth of a second;
// longer than this a change would be seen to come late.
constexpr UINT kSettleMs = 150;
// A clipboard that never settles (replaced every tenth of a second) is
// still read this long at most after the first change not yet read.
constexpr DWORD kMostUnreadMs = 1000;

constexpr auto kLayout = LayoutOf<TFormat_Inspector_Form>({
    {.part = Header_Label,
     .name = "Header_Label",
     .kind = K::Label,
     .left = 8,
     .top = 6,
     .width = 584,
     .height = 66,
     .caption = ""},
    // The dump view, a window of its own class, is made over this place.
    {.part = Dump_Place,
     .name = "Dump_Place",
     .kind = K::Panel,
     .left = 8,
     .top = 76,
     .width = 584,
     .height = 322,
     .flags = kHidden},
    // The text view, a window of its own class, is made over this place.
    {.part = Text_Place,
     .name = "Text_Place",
     .kind = K::Panel,
     .left = 8,
     .top = 262,
     .width = 584,
     .height = 136,
     .flags = kHidden},
    // RTF formatted, on the left of the text row; the text view then takes the rest.
    {.part = Formatted_RichEdit,
     .name = "Formatted_RichEdit",
     .kind = K::RichEdit,
     .left = 8,
     .top = 262,
     .width = 289,
     .height = 136,
     .flags = kHidden | kRichText | kVerticalScroll},
    {.part = Save_As_BitBtn,
     .name = "Save_As_BitBtn",
     .kind = K::BitBtn,
     .left = 60,
     .top = 408,
     .width = 120,
     .height = 26,
     .caption = "Save As...",
     .onClick = Bind<&TFormat_Inspector_Form::Save_As_BitBtnClick>},
    {.part = Refresh_BitBtn,
     .name = "Refresh_BitBtn",
     .kind = K::BitBtn,
     .left = 240,
     .top = 408,
     .width = 120,
     .height = 26,
     .caption = "Refresh",
     .glyph = IDB_REFRESH_GLYPH,
     .onClick = Bind<&TFormat_Inspector_Form::Refresh_BitBtnClick>},
    {.part = Exit_BitBtn,
     .name = "Exit_BitBtn",
     .kind = K::BitBtn,
     .left = 420,
     .top = 408,
     .width = 120,
     .height = 26,
     .caption = "Close",
     .glyph = IDB_CLOSE_GLYPH,
     .onClick = Bind<&TFormat_Inspector_Form::Exit_BitBtnClick>},
    {.part = Follow_Timer,
     .name = "Follow_Timer",
     .kind = K::Timer,
     .onTimer = Bind<&TFormat_Inspector_Form::Follow_TimerTimer>,
     .interval = kSettleMs},
});

const FormSpec kForm{
    .className = "TFormat_Inspector_Form",
    .caption = "",
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
    .exStyle = WS_EX_DLGMODALFRAME,
    .left = 200,
    .top = 90,
    .width = 600,
    .height = 442,
    .clientSized = true,
    .font = {.face = "MS Sans Serif", .height = -11},
    .designDpi = kDesignDpi,
    .designTextHeight = 13,
    .components = kLayout,
    .icon = IDI_MAINICON,
};

RECT RectOf(const Bounds& b) {
    return {b.left, b.top, b.left + b.width, b.top + b.height};
}

// What a rich edit box streams in, given in whole units (a UTF-16 text's two bytes).
struct ByteSource {
    std::span<const std::uint8_t> bytes;
    std::size_t unit;
    std::size_t at = 0;
};

DWORD CALLBACK ReadBytes(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<ByteSource*>(cookie);
    const std::size_t room = static_cast<std::size_t>(std::max<LONG>(wanted, 0));
    const std::size_t count =
        std::min(source->bytes.size() - source->at, room - room % source->unit);
    std::memcpy(buffer, source->bytes.data() + source->at, count);
    source->at += count;
    *given = static_cast<LONG>(count);
    return 0;
}

struct Streamed {
    LRESULT characters;
    DWORD error;  // the box's, or 0
};

// Streams `source` into the box with its drawing held.
Streamed StreamInto(HWND box, ByteSource source, WPARAM format) {
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, &ReadBytes};
    SendMessageA(box, EM_EXLIMITTEXT, 0,
                 static_cast<LPARAM>(std::max<std::size_t>(source.bytes.size() + 1, 32767)));
    SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    const LRESULT read = SendMessageA(box, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
    SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
    return {read, stream.dwError};
}

// " (error 0x80070026)", or nothing for no error.
std::string ErrorText(DWORD error) {
    return error ? " (" + ErrorNumberText(error) + ")" : "";
}

}  // namespace

TFormat_Inspector_Form::TFormat_Inspector_Form(MessageDialog& messages, ClipboardService& clipboard,
                                               HWND owner)
    : FormOf(kForm, messages, owner), clipboard_(clipboard) {
    dump_ = std::make_unique<DumpView>(messages, Handle(), RectOf(BoundsOf(Get(Dump_Place))),
                                       MulDivRound(kDumpFontHeight, ScreenDpi(), kDesignDpi));
    // The picture preview takes the lower part of the dump's place.
    RECT picture = RectOf(BoundsOf(Get(Dump_Place)));
    picture.top += (picture.bottom - picture.top) * 2 / 5;
    picture_ = std::make_unique<PictureView>(messages, Handle(), picture);
    picture_->OnReport([this](const PictureReport& report) { PictureReported(report); });
    text_ = std::make_unique<TextView>(messages, Handle(), RectOf(BoundsOf(Get(Text_Place))),
                                       MulDivRound(kDumpFontHeight, ScreenDpi(), kDesignDpi));
    reader_ = std::make_unique<FormatReader>(
        messages, clipboard,
        [this](std::shared_ptr<InspectedFormat> inspected) { ShowReading(std::move(inspected)); });
    SendMessageA(Get(Formatted_RichEdit).hwnd, EM_SETREADONLY, TRUE, 0);
}

void TFormat_Inspector_Form::Inspect(unsigned format, const std::string& line) {
    SetFormat(format, line);
    ShowModal();
}

void TFormat_Inspector_Form::SetFormat(unsigned format, const std::string& line) {
    format_ = format;
    line_ = line;
}

void TFormat_Inspector_Form::FormShow() {
    FollowClipboard();
    SetCaption(line_);
    // Nothing of the format shown before stays, nor can be saved, while it
    // is read again. The last copy goes before the next is made: never two at once.
    SetEnabled(Get(Save_As_BitBtn), false);
    SetTextOf(Get(Header_Label), "Format " + std::to_string(format_) + "\r\n" + kReadingText);
    PlaceViews(false, false, false);
    EmptyView(Get(Formatted_RichEdit));
    text_->Clear();
    dump_->SetBytes({});
    picture_->Clear();
    shown_.reset();
    // A read after a change of the clipboard says what it found in the
    // header only: no box comes up, and the focus stays where it is.
    reportFailures_ = !following_;
    reader_->Start(format_, Handle(), text_->Columns());
}

// The reading done on the reader's worker, shown.
void TFormat_Inspector_Form::ShowReading(std::shared_ptr<InspectedFormat> inspected) {
    shown_ = std::move(inspected);
    InspectedFormat& shown = *shown_;
    const FormatReading& reading = shown.reading;
    if (reportFailures_ && reading.outcome != ReadOutcome::Read) {
        const FlagScope busy(busy_);
        ReportReadFailure(Messages(), line_, reading);
    }
    const PreviewOutcome preview =
        reading.outcome == ReadOutcome::Read
            ? PreviewFormat(*picture_, format_, shown.name,
                            std::shared_ptr<const FormatData>(shown_, &reading.data))
            : PreviewOutcome{};
    contentLines_ = shown.contents ? shown.contents->HeaderLines() : std::string();
    // What follows the header's own lines: the text views' news.
    headerTail_.clear();
    withText_ = shown.encoding != TextEncoding::None;
    withFormatted_ =
        withText_ && IsRichTextFormat(shown.name) && ShowFormatted(shown.text, headerTail_);
    PlaceViews(withText_, withFormatted_, preview.shown);
    if (withText_) text_->SetText(std::move(shown.viewText));
    SetTextOf(Get(Header_Label),
              HeaderText(format_, reading, contentLines_ + preview.headerLines) + headerTail_);
    dump_->SetBytes(reading.data.bytes);
    SetEnabled(Get(Save_As_BitBtn),
               reading.outcome == ReadOutcome::Read && !reading.data.bytes.empty());
}

// The picture decoded or played on the preview's worker: the header says
// what came of it, and the views make room for it or take its place.
void TFormat_Inspector_Form::PictureReported(const PictureReport& report) {
    SetTextOf(Get(Header_Label),
              HeaderText(format_, Reading(), contentLines_ + report.headerLines) + headerTail_);
    PlaceViews(withText_, withFormatted_, report.shown);
}

void TFormat_Inspector_Form::PlaceViews(bool withText, bool withFormatted, bool withPicture) {
    Component& textView = Get(Text_Place);
    Component& formattedView = Get(Formatted_RichEdit);
    RECT dump = RectOf(BoundsOf(Get(Dump_Place)));
    RECT picture{};
    GetWindowRect(picture_->Handle(), &picture);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&picture), 2);
    if (withText) dump.bottom = BoundsOf(textView).top - kViewGap;
    if (withPicture) dump.bottom = picture.top - kViewGap;
    ShowWindow(picture_->Handle(), withPicture ? SW_SHOWNA : SW_HIDE);
    MoveWindow(dump_->Handle(), dump.left, dump.top, dump.right - dump.left, dump.bottom - dump.top,
               TRUE);
    // The text row starts where the formatted view does; beside it the
    // text view takes the rest of the row.
    const Bounds formatted = BoundsOf(formattedView);
    Bounds text = BoundsOf(textView);
    const int right = text.left + text.width;
    text.left = withFormatted ? formatted.left + formatted.width + kViewGap : formatted.left;
    text.width = right - text.left;
    SetBoundsOf(textView, text);
    MoveWindow(text_->Handle(), text.left, text.top, text.width, text.height, TRUE);
    SetVisible(formattedView, withFormatted);
    ShowWindow(text_->Handle(), withText ? SW_SHOWNA : SW_HIDE);
}

// A view that holds text is made anew, read-only as before: emptying a
// rich edit box that holds much text takes seconds.
void TFormat_Inspector_Form::EmptyView(Component& view) {
    if (GetWindowTextLengthA(view.hwnd) > 0) RecreateWindowOf(view);
}

// The RTF formatted, up to the formatted view's limit, unless it nests too deep
// for the box; whether the view has anything to show. The header says why
// not, what went wrong while reading and when only a part is shown.
bool TFormat_Inspector_Form::ShowFormatted(std::span<const std::uint8_t> rtf, std::string& header) {
    const auto shown = rtf.first(std::min(rtf.size(), kFormattedViewLimit));
    if (const auto problem = RichTextProblem(shown)) {
        header += "\r\n" + *problem;
        return false;
    }
    const Streamed read = StreamInto(Get(Formatted_RichEdit).hwnd, {shown, 1}, SF_RTF);
    if (read.characters <= 0) {
        header += "\r\nThe formatted view is not shown: the rich edit box read nothing of the RTF" +
                  ErrorText(read.error) + ".";
        return false;
    }
    if (read.error)
        header +=
            "\r\nThe rich edit box stopped reading the RTF early" + ErrorText(read.error) + ".";
    if (shown.size() < rtf.size()) header += "\r\n" + RichTextCutLine(shown.size(), rtf.size());
    return true;
}

void TFormat_Inspector_Form::Save_As_BitBtnClick() {
    if (!shown_ || shown_->reading.outcome != ReadOutcome::Read) return;  // nothing read to save
    const FlagScope busy(busy_);  // the data saved stays while the dialog is open
    const std::shared_ptr<const InspectedFormat> saved = shown_;
    const bool isText = TextEncodingOf(format_, saved->name) != TextEncoding::None;
    SaveFormatAs(Handle(), Messages(), format_, saved->reading.data, isText);
}

void TFormat_Inspector_Form::Refresh_BitBtnClick() {
    FormShow();
}

void TFormat_Inspector_Form::Exit_BitBtnClick() {
    Close();
}

void TFormat_Inspector_Form::FollowClipboard() {
    if (!listener_) listener_.emplace(Handle());
}

void TFormat_Inspector_Form::FormHide() {
    reader_->Cancel();  // a reading under way is never shown
    listener_.reset();
    SetEnabled(Get(Follow_Timer), false);
    unreadSince_.reset();
    picture_->Clear();  // the work on its picture stops, its memory goes
}

void TFormat_Inspector_Form::FormClipboardUpdate() {
    // Each change starts the wait again, so a burst of changes is read
    // once; but not past the most a change waits to be read, so a clipboard
    // that keeps changing is still read about once a second.
    const DWORD now = GetTickCount();
    if (!unreadSince_) unreadSince_ = now;
    Component& timer = Get(Follow_Timer);
    if (IsEnabled(timer) && now - *unreadSince_ >= kMostUnreadMs - kSettleMs) return;
    SetEnabled(timer, false);
    SetEnabled(timer, true);
}

void TFormat_Inspector_Form::Follow_TimerTimer() {
    if (busy_) return;  // tried again on the next tick
    SetEnabled(Get(Follow_Timer), false);
    unreadSince_.reset();
    const FlagScope following(following_);
    FormShow();
}

const FormatReading& TFormat_Inspector_Form::Reading() const {
    static const FormatReading kNone;
    return shown_ ? shown_->reading : kNone;
}

}  // namespace norvane
