#include "inspector/win32_format_inspector_form.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "clipboard/format_list.h"
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
    // RTF formatted, on the left of the text row; the text view then takes
    // the rest. The formatted view's box, made on a thread of its own, is
    // placed over this place.
    {.part = Formatted_Place,
     .name = "Formatted_Place",
     .kind = K::Panel,
     .left = 8,
     .top = 262,
     .width = 289,
     .height = 136,
     .flags = kHidden},
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
    // While a reading waits, the header says for whom and how long, each second.
    {.part = Wait_Timer,
     .name = "Wait_Timer",
     .kind = K::Timer,
     .onTimer = Bind<&TFormat_Inspector_Form::Wait_TimerTimer>,
     .interval = 1000},
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
    picturePlace_ = {picture.left, picture.top, picture.right, picture.bottom};
    picture_->OnReport([this](const PictureReport& report) { PictureReported(report); });
    text_ = std::make_unique<TextView>(messages, Handle(), RectOf(BoundsOf(Get(Text_Place))),
                                       MulDivRound(kDumpFontHeight, ScreenDpi(), kDesignDpi));
    reader_ = std::make_unique<FormatReader>(
        messages, clipboard,
        [this](std::shared_ptr<InspectedFormat> inspected) { ShowReading(std::move(inspected)); });
    formatted_ = std::make_unique<FormattedView>(
        messages, Handle(), RectOf(BoundsOf(Get(Formatted_Place))),
        reinterpret_cast<HFONT>(SendMessageA(Get(Header_Label).hwnd, WM_GETFONT, 0, 0)));
    formatted_->OnReport([this](const FormattedReport& report) { FormattedReported(report); });
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
    withText_ = withFormatted_ = withPicture_ = false;
    PlaceViews();
    formatted_->Clear();
    text_->Clear();
    dump_->SetBytes({});
    picture_->Clear();
    shown_.reset();
    // A read after a change of the clipboard says what it found in the
    // header only: no box comes up, and the focus stays where it is.
    reportFailures_ = !following_;
    // Laid out for the row the text view will have: RTF beside its formatted view.
    const bool rtf = IsRichTextFormat(clipboard_.FormatName(format_));
    reader_->Start(format_, Handle(), text_->ColumnsAt(TextViewBounds(rtf).width));
    readingSince_ = GetTickCount();
    SetEnabled(Get(Wait_Timer), false);
    SetEnabled(Get(Wait_Timer), true);
}

// A reading that takes long waits, most often, for the owner to render the
// format: the header names it, and Close or Refresh gives the reading up.
void TFormat_Inspector_Form::Wait_TimerTimer() {
    if (!reader_->Busy()) {
        SetEnabled(Get(Wait_Timer), false);
        return;
    }
    FormatReading owner;
    ReadOwner(clipboard_, owner);
    const std::string name = clipboard_.FormatName(format_);
    SetTextOf(Get(Header_Label),
              "Format " + std::to_string(format_) + "\r\n" + kReadingText + "\r\n" +
                  WaitingLine(owner, name.empty() ? PredefinedFormatName(format_) : name,
                              (GetTickCount() - readingSince_) / 1000));
}

// The reading done on the reader's worker, shown; then why it failed, in a
// box. The box comes last: its message loop may start the next reading
// (a refresh, a change followed), which frees this one.
void TFormat_Inspector_Form::ShowReading(std::shared_ptr<InspectedFormat> inspected) {
    SetEnabled(Get(Wait_Timer), false);
    shown_ = std::move(inspected);
    InspectedFormat& shown = *shown_;
    const FormatReading& reading = shown.reading;
    const PreviewOutcome preview =
        reading.outcome == ReadOutcome::Read
            ? PreviewFormat(*picture_, format_, shown.name,
                            std::shared_ptr<const FormatData>(shown_, &reading.data))
            : PreviewOutcome{};
    contentLines_ = shown.contents ? shown.contents->HeaderLines() : std::string();
    pictureLines_ = preview.headerLines;
    withPicture_ = preview.shown;
    headerTail_.clear();
    withText_ = shown.encoding != TextEncoding::None;
    // The text row is laid out as it will be once formatted: the text view
    // is seldom wrapped twice.
    withFormatted_ = withText_ && IsRichTextFormat(shown.name) && StartFormatting(shown.text);
    PlaceViews();
    if (withText_) text_->SetText(std::move(shown.viewText));
    ShowHeader();
    dump_->SetBytes(reading.data.bytes);
    SetEnabled(Get(Save_As_BitBtn),
               reading.outcome == ReadOutcome::Read && !reading.data.bytes.empty());
    if (reportFailures_ && reading.outcome != ReadOutcome::Read) {
        const FlagScope busy(busy_);
        const std::shared_ptr<const InspectedFormat> kept = shown_;  // while its box is up
        ReportReadFailure(Messages(), std::string(line_), kept->reading);
    }
}

// The header: the reading's lines, then what the workers said of its
// picture and its formatted view.
void TFormat_Inspector_Form::ShowHeader() {
    SetTextOf(Get(Header_Label),
              HeaderText(format_, Reading(), contentLines_ + pictureLines_) + headerTail_);
}

// The picture decoded or played on the preview's worker: the header says
// what came of it, and the views make room for it or take its place.
void TFormat_Inspector_Form::PictureReported(const PictureReport& report) {
    pictureLines_ = report.headerLines;
    withPicture_ = report.shown;
    ShowHeader();
    PlaceViews();
}

// The formatted view's box filled on its thread, or not: the header says
// so, and the text view takes the whole row when it is not shown.
void TFormat_Inspector_Form::FormattedReported(const FormattedReport& report) {
    headerTail_ = report.headerLines + (report.shown ? formattedCut_ : std::string());
    withFormatted_ = report.shown;
    ShowHeader();
    PlaceViews();
}

// The text row starts where the formatted view does; beside it the text
// view takes the rest of the row.
Bounds TFormat_Inspector_Form::TextViewBounds(bool withFormatted) {
    const Bounds formatted = BoundsOf(Get(Formatted_Place));
    Bounds text = BoundsOf(Get(Text_Place));
    const int right = text.left + text.width;
    text.left = withFormatted ? formatted.left + formatted.width + kViewGap : formatted.left;
    text.width = right - text.left;
    return text;
}

void TFormat_Inspector_Form::PlaceViews() {
    const bool withText = withText_, withFormatted = withFormatted_, withPicture = withPicture_;
    Component& textView = Get(Text_Place);
    Component& formattedView = Get(Formatted_Place);
    const RECT area = RectOf(BoundsOf(Get(Dump_Place)));
    const ViewPlaces places = PlaceViewsIn({area.left, area.top, area.right, area.bottom},
                                           BoundsOf(textView).top, kViewGap, withPicture, withText);
    const auto move = [](HWND view, const ViewPlace& place) {
        MoveWindow(view, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   TRUE);
    };
    if (withPicture && !(places.picture == picturePlace_)) {
        move(picture_->Handle(), places.picture);
        picturePlace_ = places.picture;
    }
    ShowWindow(picture_->Handle(), withPicture ? SW_SHOWNA : SW_HIDE);
    move(dump_->Handle(), places.dump);
    const Bounds formatted = BoundsOf(formattedView);
    const Bounds text = TextViewBounds(withFormatted);
    SetBoundsOf(textView, text);
    MoveWindow(text_->Handle(), text.left, text.top, text.width, text.height, TRUE);
    formatted_->SetBounds(RectOf(formatted));
    formatted_->SetVisible(withFormatted);
    ShowWindow(text_->Handle(), withText ? SW_SHOWNA : SW_HIDE);
}

// The RTF given to the formatted view, up to its limit, unless it nests
// too deep for the box; whether it was. The header says why not, and that
// the view formats it meanwhile.
bool TFormat_Inspector_Form::StartFormatting(std::span<const std::uint8_t> rtf) {
    const auto shown = rtf.first(std::min(rtf.size(), kFormattedViewLimit));
    if (const auto problem = RichTextProblem(shown)) {
        headerTail_ += "\r\n" + *problem;
        return false;
    }
    if (!formatted_->SetRtf(shown, shown_)) {
        headerTail_ += "\r\nThe formatted view is not shown: its thread could not be started.";
        return false;
    }
    formattedCut_ =
        shown.size() < rtf.size() ? "\r\n" + RichTextCutLine(shown.size(), rtf.size()) : "";
    headerTail_ += std::string("\r\n") + FormattedView::kFormattingText;
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
    formatted_->Clear();
    listener_.reset();
    SetEnabled(Get(Follow_Timer), false);
    SetEnabled(Get(Wait_Timer), false);
    unreadSince_.reset();
    picture_->Clear();  // the work on its picture stops, its memory goes
}

void TFormat_Inspector_Form::FormClipboardUpdate() {
    if (!listener_) return;  // a notice posted before the form was hidden
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
