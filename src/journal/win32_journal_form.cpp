#include "journal/win32_journal_form.h"

#include <commctrl.h>

#include <algorithm>
#include <span>
#include <string_view>

#include "journal/journal_formats.h"
#include "resources/resource_ids.h"
#include "ui/handles.h"
#include "ui/save_dialog.h"
#include "util/bytes_of.h"
#include "util/durable_file.h"
#include "util/error_number.h"
#include "util/tab_separated.h"

namespace norvane {

using enum JournalFormPart;

namespace {

using K = ComponentKind;

// The list follows the journal this long after a change at the most: a
// burst of changes (a clipboard manager's, a program copying in a loop)
// is shown once, not line by line.
constexpr UINT kFollowMs = 50;

// The journal's columns, in the order of kJournalColumnTitles.
constexpr int kFormatsColumn = 5;
static_assert(std::string_view(kJournalColumnTitles[kFormatsColumn]) == "Formats");

// Marks the saved text as UTF-8, so that a spreadsheet or an editor reads
// names outside the ANSI code page right.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Widths in design pixels, each column at least as wide as its usual
// contents; the formats take the room the others leave.
constexpr auto kColumns = [] {
    constexpr int kWidths[] = {136, 150, 120, 64, 116, 0, 100};
    constexpr bool kNumbers[] = {false, false, false, true, false, false, true};
    constexpr const char* kSamples[] = {"2026-12-31 23:59:59.999",
                                        "set; 1 change not seen before",
                                        "WindowsTerminal.exe",
                                        "99999",
                                        "Chrome_WidgetWin_1",
                                        "",
                                        "4294967295"};
    std::array<ListColumn, kJournalColumnTitles.size()> columns{};
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i] = {.caption = kJournalColumnTitles[i],
                      .width = kWidths[i],
                      .alignRight = kNumbers[i],
                      .sample = kSamples[i],
                      .fill = i == kFormatsColumn};
    return columns;
}();

constexpr auto kLayout = LayoutOf<TClipboard_Journal_Form>({
    {.part = Count_Label,
     .name = "Count_Label",
     .kind = K::Label,
     .left = 8,
     .top = 8,
     .width = 400,
     .height = 13,
     .caption = "",
     .flags = kAutoSize},
    {.part = Entries_ListView,
     .name = "Entries_ListView",
     .kind = K::ListView,
     .left = 8,
     .top = 26,
     .width = 884,
     .height = 300,
     .columns = kColumns,
     .onCellText = Bind<&TClipboard_Journal_Form::Entries_ListViewCellText>,
     .onLineTip = Bind<&TClipboard_Journal_Form::Entries_ListViewLineTip>},
    {.part = Save_As_BitBtn,
     .name = "Save_As_BitBtn",
     .kind = K::BitBtn,
     .left = 300,
     .top = 334,
     .width = 120,
     .height = 26,
     .caption = "Save As...",
     .onClick = Bind<&TClipboard_Journal_Form::Save_As_BitBtnClick>},
    {.part = Exit_BitBtn,
     .name = "Exit_BitBtn",
     .kind = K::BitBtn,
     .left = 480,
     .top = 334,
     .width = 120,
     .height = 26,
     .caption = "Close",
     .glyph = IDB_CLOSE_GLYPH,
     .onClick = Bind<&TClipboard_Journal_Form::Exit_BitBtnClick>},
    {.part = Follow_Timer,
     .name = "Follow_Timer",
     .kind = K::Timer,
     .onTimer = Bind<&TClipboard_Journal_Form::Follow_TimerTimer>,
     .interval = kFollowMs},
});

const FormSpec kForm{
    .className = "TClipboard_Journal_Form",
    .caption = "Clipboard Journal",
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
    .exStyle = WS_EX_DLGMODALFRAME,
    .left = 120,
    .top = 140,
    .width = 900,
    .height = 368,
    .clientSized = true,
    .font = {.face = "MS Sans Serif", .height = -11},
    .designDpi = 96,
    .designTextHeight = 13,
    .components = kLayout,
    .icon = IDI_MAINICON,
    .componentsOnDemand = true,
    .modeless = true,
};

std::string CountLine(const ClipboardJournal& journal) {
    const std::size_t kept = journal.Size();
    const std::uint64_t dropped = journal.Dropped();
    std::string line = std::to_string(kept) + (kept == 1 ? " entry" : " entries") + " kept, " +
                       std::to_string(dropped) + (dropped == 1 ? " older one" : " older ones") +
                       " dropped";
    // Else an empty journal would look like a clipboard nobody touched.
    if (const auto error = journal.ListenerFailure())
        line += "; the clipboard could not be listened to (" + ErrorNumberText(*error) + ")";
    return line;
}

}  // namespace

TClipboard_Journal_Form::TClipboard_Journal_Form(MessageDialog& messages, ClipboardJournal& journal,
                                                 HWND owner)
    : FormOf(kForm, messages, owner), journal_(journal) {
    SetKeyPreview(true);
    journal_.OnChanged([this] { FollowJournal(); });
}

TClipboard_Journal_Form::~TClipboard_Journal_Form() {
    journal_.OnChanged({});
}

void TClipboard_Journal_Form::Open() {
    Show();
    SetFocus(Get(Entries_ListView).hwnd);
}

void TClipboard_Journal_Form::FormShow() {
    ShowJournal();
}

void TClipboard_Journal_Form::FormHide() {
    SetEnabled(Get(Follow_Timer), false);
}

// Shown again without Show (the system hides it with its minimised owner
// and shows it on restoring): it catches up with what came meanwhile.
void TClipboard_Journal_Form::FormVisible() {
    if (HasComponents()) SetEnabled(Get(Follow_Timer), true);
}

// Called by the journal after each entry added or grown: a hidden window
// catches up at its next showing.
void TClipboard_Journal_Form::FollowJournal() {
    if (HasComponents() && IsWindowVisible(Handle())) SetEnabled(Get(Follow_Timer), true);
}

void TClipboard_Journal_Form::Follow_TimerTimer() {
    SetEnabled(Get(Follow_Timer), false);
    ShowJournal();
}

void TClipboard_Journal_Form::ShowJournal() {
    const std::uint64_t total = journal_.Size() + journal_.Dropped();
    const auto added =
        static_cast<std::size_t>(std::min<std::uint64_t>(total - shownTotal_, journal_.Size()));
    shownTotal_ = total;
    cachedLine_.reset();  // a hold's line grows
    SetTextOf(Get(Count_Label), CountLine(journal_));
    SetLineCount(Get(Entries_ListView), journal_.Size(), added);
}

void TClipboard_Journal_Form::Entries_ListViewCellText(ListCellRequest& cell) {
    if (cell.line >= journal_.Size() || cell.column < 0 ||
        static_cast<std::size_t>(cell.column) >= cachedTexts_.size())
        return;
    const JournalEntry& entry = journal_.Newest(cell.line);
    if (cachedLine_ != cell.line) {
        cachedTexts_ = JournalColumnTexts(journal_, entry);
        cachedLine_ = cell.line;
    }
    cell.text = cachedTexts_[static_cast<std::size_t>(cell.column)];
    // The whole list is saved; the column, at its width now, holds what
    // fits with the count.
    if (cell.column == kFormatsColumn && entry.formatNames != 0)
        cell.text = FittedFormatsText(cell.text, entry.formats);
}

// A line's tooltip: the whole list of its formats.
void TClipboard_Journal_Form::Entries_ListViewLineTip(ListCellRequest& tip) {
    if (tip.line >= journal_.Size()) return;
    const JournalEntry& entry = journal_.Newest(tip.line);
    if (entry.formatNames != 0)
        tip.text = "Formats: " + TabSeparatedField(journal_.Name(entry.formatNames));
}

// The whole list where it fits, else the count and as much of the list as
// fits, measured in the list's font as the list draws it (UTF-16).
std::string TClipboard_Journal_Form::FittedFormatsText(const std::string& names,
                                                       std::size_t count) {
    HWND list = Get(Entries_ListView).hwnd;
    const int room = TextRoomOf(Get(Entries_ListView), kFormatsColumn);
    const WindowDC dc(list);
    const SelectedObject font(dc.get(),
                              reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    const auto fits = [&](const std::string& text) {
        const int bytes = static_cast<int>(text.size());
        std::wstring wide(static_cast<std::size_t>(
                              MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, nullptr, 0)),
                          L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, wide.data(),
                            static_cast<int>(wide.size()));
        SIZE extent{};
        GetTextExtentPoint32W(dc.get(), wide.data(), static_cast<int>(wide.size()), &extent);
        return extent.cx <= room;
    };
    if (fits(names)) return names;
    // The longest cut that fits: a text of more characters is never narrower.
    std::size_t fitting = 0, tooLong = names.size();
    while (tooLong - fitting > 1) {
        const std::size_t middle = fitting + (tooLong - fitting) / 2;
        (fits(ShortFormatsText(names, count, middle)) ? fitting : tooLong) = middle;
    }
    return ShortFormatsText(names, count, fitting);
}

void TClipboard_Journal_Form::Save_As_BitBtnClick() {
    const auto path = AskSaveFileName(Handle(), "clipboard journal.txt", "txt");
    if (!path) return;
    const std::string text = JournalTabText(journal_);
    if (const auto failure = WriteFileDurably(*path, {BytesOf(kUtf8ByteOrderMark), BytesOf(text)}))
        Messages().Show(*failure, MessageKind::Error, MessageButtons::Ok);
}

void TClipboard_Journal_Form::Exit_BitBtnClick() {
    Close();
}

void TClipboard_Journal_Form::FormKeyDown(WORD& key) {
    if (key != VK_ESCAPE) return;
    key = 0;
    Close();
}

}  // namespace norvane
