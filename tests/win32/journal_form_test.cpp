// The clipboard journal's window over a journal filled by hand: its
// columns, following the journal live, its place beside the format list,
// and its Save As.
#include <windows.h>
#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

#include "clipboard/win32_formats_form.h"
#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"
#include "journal/clipboard_journal.h"
#include "journal/win32_journal_form.h"
#include "ui/application.h"
#include "win32/message_pump.h"
#include "win32/test_forms.h"
#include "win32/timer_script.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakeClipboard;
using testing::FindThreadBox;
using ::testing::IsEmpty;
using testing::PumpUntil;
using testing::RecordingMessages;
using testing::TimerScript;

using enum JournalFormPart;

// A window in front of the journal's with the focus, as the user's work
// elsewhere; destroyed with the object.
class FocusElsewhere {
  public:
    FocusElsewhere()
        : window_(CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 100,
                                  50, nullptr, nullptr, nullptr, nullptr)) {
        SetForegroundWindow(window_);
        SetFocus(window_);
        ProcessPendingMessages();
    }
    ~FocusElsewhere() { DestroyWindow(window_); }
    FocusElsewhere(const FocusElsewhere&) = delete;
    FocusElsewhere& operator=(const FocusElsewhere&) = delete;
    HWND Handle() const { return window_; }

  private:
    HWND window_;
};

// 2026-12-08 17:05:03.123, local time, as the journal shows it.
JournalTime SampleTime() {
    const SYSTEMTIME at{2026, 12, 2, 8, 17, 5, 3, 123};
    FILETIME file{};
    SystemTimeToFileTime(&at, &file);
    return static_cast<JournalTime>((ULONGLONG{file.dwHighDateTime} << 32 | file.dwLowDateTime) /
                                    10'000);
}

struct JournalFormTest : ::testing::Test {
    RecordingMessages messages;
    ClipboardJournal journal;
    // The first form is the program's main one, which the journal's window is owned by.
    Form main{testing::TestFormSpec("JournalTestMain", {}, 100, 100), messages, nullptr};
    TClipboard_Journal_Form form{messages, journal, main.Handle()};
    std::uint32_t sequence = 10;

    void TearDown() override { EXPECT_THAT(messages.errors, IsEmpty()); }

    // A change by a program's window, a second after the one before.
    void Set(const char* windowClass, const char* program, std::uint32_t processId,
             std::string formatNames = {}) {
        journal.RecordChange({.time = SampleTime() + 1000 * (sequence - 10),
                              .tick = 1000 * (sequence - 10),
                              .sequence = sequence++,
                              .owner = JournalWindow{windowClass, program, processId},
                              .formats = 3,
                              .formatNames = std::move(formatNames),
                              .text = true});
    }
    Form::Component& List() { return form.Get(Entries_ListView); }
    std::string Cell(std::size_t line, int column) {
        char text[128] = {};
        ListView_GetItemText(List().hwnd, static_cast<int>(line), column, text, sizeof text);
        return text;
    }
    // As the list shows it, every character.
    std::wstring WideCell(std::size_t line, int column) {
        wchar_t text[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(List().hwnd, LVM_GETITEMTEXTW, line, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    std::vector<std::string> Line(std::size_t line) {
        std::vector<std::string> cells;
        for (int column = 0; column < 7; ++column) cells.push_back(Cell(line, column));
        return cells;
    }
    std::string CountLine() { return form.TextOf(form.Get(Count_Label)); }
};

TEST_F(JournalFormTest, ColumnsShowTheEntriesNewestFirst) {
    Set("Notepad", "notepad.exe", 42);
    journal.RecordChange({.time = SampleTime() + 300,
                          .tick = 300,
                          .sequence = sequence++,
                          .owner = std::nullopt,
                          .formats = 0});
    form.Open();
    EXPECT_EQ(form.Caption(), "Clipboard Journal");
    HWND header = ListView_GetHeader(List().hwnd);
    std::vector<std::string> titles;
    for (int column = 0; column < Header_GetItemCount(header); ++column) {
        char text[32] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column),
                     reinterpret_cast<LPARAM>(&item));
        titles.push_back(text);
    }
    EXPECT_THAT(titles, ElementsAre("Time", "Event", "Program", "Process id", "Window class",
                                    "Formats", "Sequence number"));
    EXPECT_EQ(form.LineCountOf(List()), 2u);
    EXPECT_THAT(Line(0), ElementsAre("2026-12-08 17:05:03.423", "cleared", "", "",
                                     "no owner window", "0", "11"));
    EXPECT_THAT(Line(1), ElementsAre("2026-12-08 17:05:03.123", "set", "notepad.exe", "42",
                                     "Notepad", "3 (text)", "10"));
    EXPECT_EQ(CountLine(), "2 entries kept, 0 older ones dropped");
    EXPECT_EQ(GetFocus(), List().hwnd);  // ready for the keyboard
}

TEST_F(JournalFormTest, FollowsLiveKeepingTheSelectionWithoutTakingTheFocus) {
    for (int i = 0; i < 3; ++i) Set("Notepad", "notepad.exe", 42);
    form.Open();
    form.SelectLine(List(), 1);
    ASSERT_EQ(Cell(1, 6), "11");
    const FocusElsewhere other;
    ASSERT_EQ(GetFocus(), other.Handle());

    Set("Chrome_WidgetWin_1", "chrome.exe", 77);
    Set("Chrome_WidgetWin_1", "chrome.exe", 77);
    // Both followed at once, a moment later.
    ASSERT_TRUE(PumpUntil([&] { return form.LineCountOf(List()) != 3; }));
    EXPECT_EQ(form.LineCountOf(List()), 5u);
    EXPECT_EQ(form.SelectedLineOf(List()), 3u);
    EXPECT_EQ(Cell(3, 6), "11");  // the same entry
    EXPECT_EQ(Cell(0, 2), "chrome.exe");
    EXPECT_EQ(CountLine(), "5 entries kept, 0 older ones dropped");
    EXPECT_EQ(GetFocus(), other.Handle());

    // A hold grows on its own line while it lasts, polled as the listener polls.
    const JournalWindow holder{"Holder", "holder.exe", 9};
    const JournalTime began = SampleTime() + 60'000;
    auto poll = [&](JournalTime from, JournalTime to) {
        for (JournalTime at = from; at <= to; at += 100)
            journal.RecordHolder({.time = began + at,
                                  .tick = static_cast<JournalTick>(60'000 + at),
                                  .open = true,
                                  .holder = holder});
    };
    poll(0, 600);
    ASSERT_TRUE(PumpUntil([&] { return form.LineCountOf(List()) == 6; }));
    const std::string early = Cell(0, 1);
    poll(700, 900);
    EXPECT_TRUE(PumpUntil([&] { return Cell(0, 1) != early; }));
    EXPECT_EQ(form.LineCountOf(List()), 6u);
    EXPECT_EQ(Cell(0, 1), JournalEventText(journal.Newest(0)));
    EXPECT_EQ(form.SelectedLineOf(List()), 4u);
    EXPECT_EQ(GetFocus(), other.Handle());
}

TEST_F(JournalFormTest, OpensFromTheFormatListsMenuAndStaysWhenTheListCloses) {
    FakeClipboard clipboard;  // empty: the list has no line
    TClipboard_Formats_Form list(messages, clipboard, main.Handle(), {}, [&] { form.Open(); });
    main.Show();
    bool enabledBesideTheList = false;
    TimerScript script({[&] {
                            PostMessageA(
                                list.Handle(), WM_CONTEXTMENU,
                                reinterpret_cast<WPARAM>(list.Get(FormatsFormPart::ListBox1).hwnd),
                                MAKELPARAM(300, 300));
                            return true;
                        },
                        [&] {
                            HWND menu = FindWindowA("#32768", nullptr);
                            if (!menu || !IsWindowVisible(menu)) return false;
                            PostMessageA(menu, WM_KEYDOWN, 'J', 0);
                            return true;
                        },
                        [&] {
                            if (!IsWindowVisible(form.Handle())) return false;
                            enabledBesideTheList =
                                IsWindowEnabled(form.Handle()) && !IsWindowEnabled(main.Handle());
                            list.Close();
                            return true;
                        }},
                       [&] { list.Close(); });
    list.ShowModal();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(enabledBesideTheList);
    EXPECT_FALSE(IsWindowVisible(list.Handle()));
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), main.Handle());

    // Opened again: the same window, to the front.
    SetForegroundWindow(main.Handle());
    ProcessPendingMessages();
    form.Open();
    ProcessPendingMessages();
    EXPECT_EQ(GetForegroundWindow(), form.Handle());
    EXPECT_EQ(FindWindowA("TClipboard_Journal_Form", nullptr), form.Handle());
    EXPECT_EQ(FindWindowExA(nullptr, form.Handle(), "TClipboard_Journal_Form", nullptr), nullptr);
}

// Names in UTF-8, from beyond the ANSI code page.
constexpr char kOwnerClass[] = "Владелец_日本";
constexpr char kProgram[] = "программа.exe";
constexpr char kFormats[] =
    "Формат 日本, CF_UNICODETEXT, CF_LOCALE, CF_TEXT, CF_OEMTEXT, HTML Format, text/html";

TEST_F(JournalFormTest, ShowsNamesOutsideTheCodePageAndTheFormatsThatFitWithTheirCount) {
    Set(kOwnerClass, kProgram, 42, kFormats);
    form.Open();
    EXPECT_EQ(WideCell(0, 4), L"Владелец_日本");
    EXPECT_EQ(WideCell(0, 2), L"программа.exe");
    const std::wstring shown = WideCell(0, 5);
    EXPECT_THAT(shown, ::testing::StartsWith(L"3: Формат 日本, CF_UNICODE"));
    EXPECT_THAT(shown, ::testing::EndsWith(L"..."));
    // The line's tooltip names them all.
    wchar_t tipText[512] = L"the line's own text";
    NMLVGETINFOTIPW tip{};
    tip.hdr = {List().hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(List().hwnd)), LVN_GETINFOTIPW};
    tip.pszText = tipText;
    tip.cchTextMax = 512;
    SendMessageW(form.Handle(), WM_NOTIFY, tip.hdr.idFrom, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(tipText,
                 L"Formats: Формат 日本, CF_UNICODETEXT, CF_LOCALE, CF_TEXT, CF_OEMTEXT, HTML "
                 L"Format, text/html");
    // Widened, the column shows them all.
    ListView_SetColumnWidth(List().hwnd, 5, 1'000);
    EXPECT_EQ(WideCell(0, 5),
              L"Формат 日本, CF_UNICODETEXT, CF_LOCALE, CF_TEXT, CF_OEMTEXT, HTML Format, "
              L"text/html");
}

TEST_F(JournalFormTest, CatchesUpWhenShownAgainWithItsRestoredOwner) {
    Set("Notepad", "notepad.exe", 42);
    main.Show();
    form.Open();
    SetForegroundWindow(main.Handle());
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == main.Handle(); }));
    SendMessageA(main.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(form.Handle()); }));
    Set("Chrome_WidgetWin_1", "chrome.exe", 77);
    Set("Chrome_WidgetWin_1", "chrome.exe", 77);
    testing::PumpFor(std::chrono::milliseconds(300));
    SendMessageA(main.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form.Handle()); }));
    EXPECT_TRUE(PumpUntil([&] { return form.LineCountOf(List()) == 3; }))
        << form.LineCountOf(List());
    EXPECT_EQ(Cell(0, 2), "chrome.exe");
    EXPECT_EQ(CountLine(), "3 entries kept, 0 older ones dropped");
}

TEST_F(JournalFormTest, SaysWhenTheClipboardCouldNotBeListenedTo) {
    journal.RecordListenerFailure(ERROR_ACCESS_DENIED);
    form.Open();
    EXPECT_EQ(CountLine(),
              "0 entries kept, 0 older ones dropped; the clipboard could not be listened to"
              " (error 0x00000005)");
}

TEST_F(JournalFormTest, EscapeCloses) {
    form.Open();
    EXPECT_TRUE(form.PreviewKey(VK_ESCAPE));
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
}

TEST_F(JournalFormTest, SaveAsWritesTheTabSeparatedText) {
    Set("Notepad", "notepad.exe", 42);
    Set("Tab\tClass", "tabs.exe", 43);
    Set(kOwnerClass, kProgram, 44, kFormats);
    journal.RecordChange(
        {.time = SampleTime() + 5'000, .sequence = sequence + 4, .owner = std::nullopt});  // a gap
    form.Open();
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "journal saved.txt";
    DeleteFileA(path.c_str());
    TimerScript script(
        {[&] {
            HWND dialog = FindThreadBox();
            HWND name = dialog ? FindWindowExA(dialog, nullptr, "Edit", nullptr) : nullptr;
            if (!name) name = dialog ? GetDlgItem(dialog, 0x47c) : nullptr;
            if (!name) return false;
            SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            return true;
        }},
        [] {
            if (HWND dialog = FindThreadBox()) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    form.Save_As_BitBtnClick();
    EXPECT_TRUE(script.Finished());
    std::ifstream file(path, std::ios::binary);
    std::ostringstream saved;
    saved << file.rdbuf();
    // UTF-8 with its byte order mark, the whole list of formats.
    EXPECT_EQ(saved.str(), "\xEF\xBB\xBF" + JournalTabText(journal));
    EXPECT_THAT(saved.str(),
                ::testing::StartsWith("\xEF\xBB\xBFTime\tEvent\tProgram\tProcess id\tWindow "
                                      "class\tFormats\tSequence number\r\n"));
    EXPECT_THAT(saved.str(), ::testing::HasSubstr(std::string("\t") + kProgram + "\t44\t" +
                                                  kOwnerClass + "\t" + kFormats + "\t"));
    EXPECT_THAT(messages.shown, IsEmpty());
    file.close();
    DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace norvane
