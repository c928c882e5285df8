// The clipboard journal's listener over the real clipboard, as
// clipboard_helper changes it, clears it and holds it from other processes
// and this program holds it itself; its error boxes over a clipboard that
// fails.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "clipboard/win32_clipboard_service.h"
#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"
#include "journal/clipboard_journal.h"
#include "journal/win32_journal_listener.h"
#include "win32/message_pump.h"
#include "win32/second_process.h"

namespace norvane {
namespace {

using testing::ClipboardHelper;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::PumpFor;
using testing::PumpUntil;
using testing::RecordingMessages;
using testing::SecondProcess;
using namespace std::chrono_literals;

// Counts the calls of OpenClipboard made through this program's import
// table (every call of the program's own code) while it lives.
class OpenClipboardCounter {
  public:
    OpenClipboardCounter() {
        const auto real = reinterpret_cast<std::uintptr_t>(
            GetProcAddress(GetModuleHandleA("user32.dll"), "OpenClipboard"));
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* module =
                 reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             module->Name != 0; ++module)
            for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
                 thunk->u1.Function != 0; ++thunk)
                if (thunk->u1.Function == real) slot_ = &thunk->u1.Function;
        if (!slot_) return;
        real_ = *slot_;
        Write(reinterpret_cast<std::uintptr_t>(&Counting));
        calls_ = 0;
    }
    ~OpenClipboardCounter() {
        if (slot_) Write(real_);
    }
    OpenClipboardCounter(const OpenClipboardCounter&) = delete;
    OpenClipboardCounter& operator=(const OpenClipboardCounter&) = delete;

    bool Hooked() const { return slot_ != nullptr; }
    int Calls() const { return calls_; }

  private:
    static BOOL WINAPI Counting(HWND owner) {
        ++calls_;
        return reinterpret_cast<decltype(&OpenClipboard)>(real_)(owner);
    }
    void Write(std::uintptr_t function) {
        DWORD was = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &was);
        *slot_ = function;
        VirtualProtect(slot_, sizeof *slot_, was, &was);
    }

    decltype(IMAGE_THUNK_DATA::u1.Function)* slot_ = nullptr;
    static inline std::uintptr_t real_ = 0;
    static inline int calls_ = 0;
};

struct JournalListening : ::testing::Test {
    RecordingMessages messages;
    Win32ClipboardService clipboard;
    ClipboardJournal journal;
    ClipboardJournalListener listener{journal, clipboard, messages};

    void TearDown() override { EXPECT_THAT(messages.errors, ::testing::IsEmpty()); }

    // The entries of one process, newest first.
    std::vector<JournalEntry> EntriesOf(DWORD processId, JournalEvent event) const {
        std::vector<JournalEntry> entries;
        for (std::size_t i = 0; i < journal.Size(); ++i)
            if (journal.Newest(i).processId == processId && journal.Newest(i).event == event)
                entries.push_back(journal.Newest(i));
        return entries;
    }
    // Waits for the first change of a process and returns it.
    std::optional<JournalEntry> ChangeOf(DWORD processId) {
        std::optional<JournalEntry> found;
        PumpUntil([&] {
            for (std::size_t i = 0; i < journal.Size(); ++i)
                if (journal.Newest(i).processId == processId &&
                    journal.Newest(i).event != JournalEvent::Held)
                    found = journal.Newest(i);
            return found.has_value();
        });
        return found;
    }
    std::string ClassOf(const JournalEntry& entry) const {
        return std::string(journal.Name(entry.windowClass));
    }
    // The changes of a process counted, those not seen included.
    std::uint32_t ChangesCounted(DWORD processId) const {
        std::uint32_t changes = 0;
        for (std::size_t i = 0; i < journal.Size(); ++i)
            if (journal.Newest(i).processId == processId &&
                journal.Newest(i).event != JournalEvent::Held)
                changes += 1 + journal.Newest(i).missed;
        return changes;
    }
};

TEST_F(JournalListening, ASetNamesTheProgramAndItsWindow) {
    ASSERT_TRUE(listener.Listening());
    ClipboardHelper owner("bitmap", "journal text");
    const auto change = ChangeOf(owner.Id());
    ASSERT_TRUE(change);
    EXPECT_NE(change->event, JournalEvent::Cleared);
    EXPECT_TRUE(change->hasWindow);
    EXPECT_EQ(ClassOf(*change), "NorvaneTestOwner");
    EXPECT_EQ(journal.Name(change->program), "clipboard_helper.exe");
    EXPECT_EQ(change->formats, static_cast<std::uint32_t>(CountClipboardFormats()));
    EXPECT_TRUE(change->text);
    EXPECT_TRUE(change->picture);
    EXPECT_EQ(change->sequence, GetClipboardSequenceNumber());
    EXPECT_EQ(change->missed, 0u);
}

// A window of a class named beyond the ANSI code page places text and a
// format registered with such a name.
TEST_F(JournalListening, NamesOutsideTheCodePageAndEveryFormatByName) {
    const wchar_t kClass[] = L"Владелец_日本";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);
    HWND owner = CreateWindowW(kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    const UINT registered = RegisterClipboardFormatW(L"Формат 日本");
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    for (const UINT format : {registered, UINT{CF_UNICODETEXT}}) {
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8);
        SetClipboardData(format, data);
    }
    CloseClipboard();
    const auto change = ChangeOf(GetCurrentProcessId());
    DestroyWindow(owner);
    ASSERT_TRUE(change);
    EXPECT_EQ(ClassOf(*change), "Владелец_日本");
    EXPECT_EQ(journal.Name(change->program), "win32_tests.exe");
    const std::string_view formats = journal.Name(change->formatNames);
    EXPECT_THAT(formats, ::testing::StartsWith("Формат 日本, CF_UNICODETEXT"));
    // The text the system makes of it is named too.
    EXPECT_THAT(formats, HasSubstr("CF_TEXT"));
    std::printf("formats listed: %.*s\n", static_cast<int>(formats.size()), formats.data());
}

TEST_F(JournalListening, AProgramNamedOutsideTheCodePageIsNamedAsItIs) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring renamed = std::wstring(folder) + L"помощник.exe";
    const std::wstring helper = SecondProcess::Wide(SecondProcess::ClipboardHelperProgram());
    ASSERT_TRUE(CopyFileW(helper.c_str(), renamed.c_str(), FALSE));
    {
        char path[MAX_PATH * 3] = {};
        WideCharToMultiByte(CP_UTF8, 0, renamed.c_str(), -1, path, sizeof path, nullptr, nullptr);
        SecondProcess owner(path, [](const std::string& name) { return "text " + name + " x"; });
        const auto change = ChangeOf(owner.Id());
        ASSERT_TRUE(change);
        EXPECT_EQ(journal.Name(change->program), "помощник.exe");
    }
    DeleteFileW(renamed.c_str());
}

TEST_F(JournalListening, AClearingIsMarked) {
    ClipboardHelper placer("text", "to be cleared");
    ASSERT_TRUE(ChangeOf(placer.Id()));
    ClipboardHelper clearer("empty", "");
    const auto change = ChangeOf(clearer.Id());
    ASSERT_TRUE(change);
    EXPECT_EQ(change->event, JournalEvent::Cleared);
    EXPECT_EQ(change->formats, 0u);
    EXPECT_EQ(ClassOf(*change), "NorvaneTestOwner");
}

TEST_F(JournalListening, AnotherProgramWithinASecondReplaces) {
    ClipboardHelper second("ongo", "second");
    ClipboardHelper first("text", "first");
    const auto before = ChangeOf(first.Id());
    ASSERT_TRUE(before);
    second.Signal(".go");
    const auto change = ChangeOf(second.Id());
    ASSERT_TRUE(change);
    ASSERT_LT(change->time - before->time, 1'000) << "the second copy came too late to tell";
    EXPECT_EQ(change->event, JournalEvent::Replaced);
    EXPECT_EQ(journal.Newest(0).processId, second.Id());
}

TEST_F(JournalListening, AHoldIsEnteredWhileItLastsAndEndsWithItsDuration) {
    std::optional<ClipboardHelper> holder{std::in_place, "holdonly", ""};
    const auto ready = std::chrono::steady_clock::now();
    const DWORD holderId = holder->Id();
    ASSERT_TRUE(PumpUntil([&] { return !EntriesOf(holderId, JournalEvent::Held).empty(); }));
    const JournalEntry early = EntriesOf(holderId, JournalEvent::Held).front();
    EXPECT_TRUE(early.holding);
    EXPECT_GT(early.heldMs, ClipboardJournal::kHoldRecordedAfterMs);
    PumpUntil([&] { return std::chrono::steady_clock::now() - ready >= 1000ms; });
    EXPECT_GT(EntriesOf(holderId, JournalEvent::Held).front().heldMs, early.heldMs);
    holder.reset();  // lets go
    const auto held = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - ready)
                          .count();
    PumpFor(3 * std::chrono::milliseconds(ClipboardJournalListener::kPollMs));
    const auto entries = EntriesOf(holderId, JournalEvent::Held);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(entries[0].holding);
    EXPECT_NEAR(entries[0].heldMs, held, 2.5 * ClipboardJournalListener::kPollMs);
    EXPECT_EQ(ClassOf(entries[0]), "NorvaneTestOwner");
    EXPECT_EQ(journal.Name(entries[0].program), "clipboard_helper.exe");
}

TEST_F(JournalListening, ABurstOfAThousandIsCountedWholeWithoutOpeningTheClipboard) {
    OpenClipboardCounter opens;
    ASSERT_TRUE(opens.Hooked());
    {  // the counter sees the program's own opening
        OpenClipboardScope open(clipboard, nullptr);
    }
    ASSERT_EQ(opens.Calls(), 1);

    ClipboardHelper burst("changes", "1000");
    const auto counted = [&] { return ChangesCounted(burst.Id()); };
    EXPECT_TRUE(PumpUntil([&] { return counted() >= 1'000; }, 60s)) << counted();
    PumpFor(300ms);
    EXPECT_EQ(counted(), 1'000u);
    const auto seen = EntriesOf(burst.Id(), JournalEvent::Set);
    std::size_t withGaps = 0;
    for (const JournalEntry& entry : seen) {
        if (entry.missed) {
            EXPECT_THAT(JournalEventText(entry), EndsWith("not seen before"));
            ++withGaps;
        } else {
            EXPECT_EQ(JournalEventText(entry), "set");
        }
    }
    std::printf("1000 changes: %zu seen, %zu of them after changes not seen\n", seen.size(),
                withGaps);
    EXPECT_EQ(opens.Calls(), 1);
}

TEST_F(JournalListening, TwoShortHoldsSplitByACloseAreNotOne) {
    ClipboardHelper holder("twoholds", "");
    ASSERT_TRUE(PumpUntil([&] { return ChangesCounted(holder.Id()) >= 2; }, 10s));
    PumpFor(3 * std::chrono::milliseconds(ClipboardJournalListener::kPollMs));
    EXPECT_THAT(EntriesOf(holder.Id(), JournalEvent::Held), IsEmpty());
}

// The format list opens the clipboard without a window, the inspector with
// its own: either way this program holds it while an owner renders.
TEST_F(JournalListening, ItsOwnHoldWhileAnOwnerRendersSlowlyIsEntered) {
    struct MessageOnlyWindow {
        HWND hwnd = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                    nullptr);
        ~MessageOnlyWindow() { DestroyWindow(hwnd); }
    } window;
    for (HWND opener : {HWND(nullptr), window.hwnd}) {
        SCOPED_TRACE(opener ? "with a window" : "without a window");
        ClipboardHelper owner("slowrender", "");
        ASSERT_TRUE(ChangeOf(owner.Id()));
        const std::size_t before = EntriesOf(GetCurrentProcessId(), JournalEvent::Held).size();
        {
            OpenClipboardScope open(clipboard, opener);
            ASSERT_TRUE(open.Opened());
            EXPECT_TRUE(clipboard.CopyFormatData(kTextFormat));
        }
        std::vector<JournalEntry> holds;
        ASSERT_TRUE(PumpUntil([&] {
            holds = EntriesOf(GetCurrentProcessId(), JournalEvent::Held);
            return holds.size() > before && !holds.front().holding;
        }));
        EXPECT_GE(holds.front().heldMs, 1'000u);
        EXPECT_EQ(journal.Name(holds.front().program), "win32_tests.exe");
        EXPECT_EQ(holds.front().hasWindow, opener != nullptr);
    }
}

// The listening thread stamps a change with when its notice was posted,
// however long the windows' thread is kept from taking it over.
TEST_F(JournalListening, AChangeWhileTheWindowsAreBusyIsStampedWhenItWasMade) {
    ClipboardHelper changer("ticked", "");
    changer.Signal(".go");
    Sleep(1'500);  // busy
    const auto change = ChangeOf(changer.Id());
    ASSERT_TRUE(change);
    std::optional<std::u16string> text;
    {
        OpenClipboardScope open(clipboard, nullptr);
        text = clipboard.CopyText();
    }
    ASSERT_TRUE(text);
    const auto madeAtTick = std::stoul(std::string(text->begin(), text->end()));
    const JournalTime made = JournalNow() - static_cast<std::int32_t>(GetTickCount() - madeAtTick);
    EXPECT_NEAR(static_cast<double>(change->time), static_cast<double>(made), 100);
}

TEST_F(JournalListening, ACopyHalfWayIsReadOnceItIsClosed) {
    ClipboardHelper copier("halfway", "finished");
    // A notice that comes while the copy is half-way (the last of the
    // change before, late): the reading finds the clipboard emptied.
    PostMessageA(listener.ListeningWindow(), WM_CLIPBOARDUPDATE, 0, 0);
    PumpFor(3 * std::chrono::milliseconds(ClipboardJournalListener::kPollMs));
    EXPECT_THAT(EntriesOf(copier.Id(), JournalEvent::Cleared), IsEmpty());
    copier.Signal(".go");
    const auto change = ChangeOf(copier.Id());
    ASSERT_TRUE(change);
    EXPECT_EQ(change->event, JournalEvent::Set);
    EXPECT_TRUE(change->text);
    EXPECT_EQ(change->missed, 1u);  // the notice that came half-way
}

// A listener made by the test itself, after the clipboard is set up.
struct JournalListenerStart : ::testing::Test {
    RecordingMessages messages;
    Win32ClipboardService clipboard;
    ClipboardJournal journal;

    void TearDown() override { EXPECT_THAT(messages.errors, IsEmpty()); }
};

TEST_F(JournalListenerStart, TheClipboardAtStartUpIsTheFirstEntryAndAHoldUnderWayIsFollowed) {
    ClipboardHelper owner("hold", "before listening");
    const JournalTime started = JournalNow();
    ClipboardJournalListener listener{journal, clipboard, messages};
    ASSERT_TRUE(PumpUntil([&] { return journal.Size() >= 2; }));
    const JournalEntry& first = journal.Newest(journal.Size() - 1);
    EXPECT_EQ(JournalEventText(first), "at start-up");
    EXPECT_EQ(first.processId, owner.Id());
    EXPECT_TRUE(first.text);
    const JournalEntry& hold = journal.Newest(0);
    EXPECT_EQ(hold.event, JournalEvent::Held);
    EXPECT_EQ(hold.processId, owner.Id());
    EXPECT_GE(hold.time, started);
}

// The program's start-up keeps the listening thread off its queue until the
// main window is ready: what it heard meanwhile is taken then, stamped when
// it was posted.
TEST_F(JournalListenerStart, NoticesHeardBeforeItBeginsAreTakenThenWithTheirTimes) {
    ClipboardJournalListener listener{journal, clipboard, messages,
                                      ClipboardJournalListener::Handling::WhenBegun};
    ASSERT_TRUE(PumpUntil([&] { return journal.Size() == 1; }));  // at start-up
    ClipboardHelper owner("text", "placed before the listener begins");
    PumpFor(600ms);
    EXPECT_EQ(journal.Size(), 1u);
    const JournalTime begun = JournalNow();
    listener.Begin();
    ASSERT_TRUE(PumpUntil([&] { return journal.Size() == 2; }));
    EXPECT_EQ(journal.Newest(0).processId, owner.Id());
    EXPECT_LE(journal.Newest(0).time, begun - 500);
}

// A clipboard whose holder cannot be asked until told, as when memory runs out.
struct HolderUnaskable : testing::FakeClipboard {
    std::atomic<bool> failing{true};
    std::atomic<std::uint32_t> number{1};
    std::uint32_t SequenceNumber() override { return number; }
    WindowHandle OpenClipboardWindow() override {
        if (failing) throw std::bad_alloc();
        return nullptr;
    }
};

// Error boxes that, as the real one, handle messages while they are up.
struct LoopingErrorBoxes : RecordingMessages {
    std::function<void()> whileUp;
    int up = 0, mostUpAtOnce = 0;
    void ShowError(std::string_view text) noexcept override {
        RecordingMessages::ShowError(text);
        mostUpAtOnce = std::max(mostUpAtOnce, ++up);
        if (whileUp) whileUp();
        PumpFor(3 * std::chrono::milliseconds(ClipboardJournalListener::kPollMs));
        --up;
    }
};

TEST(JournalListenerErrors, OneBoxAtATimeAndTheNoticesOfAFailedReadingCountLater) {
    LoopingErrorBoxes messages;
    HolderUnaskable clipboard;
    clipboard.formats = {{kTextFormat, ""}};
    ClipboardJournal journal;
    ClipboardJournalListener listener{journal, clipboard, messages};
    messages.whileUp = [&] {
        if (messages.errors.size() != 1) return;
        clipboard.number = 5;  // two changes, whose readings fail
        for (int notice = 0; notice < 2; ++notice)
            PostMessageA(listener.ListeningWindow(), WM_CLIPBOARDUPDATE, 0, 0);
    };
    ASSERT_TRUE(PumpUntil([&] { return messages.errors.size() >= 2; }));
    EXPECT_EQ(messages.mostUpAtOnce, 1);
    ASSERT_EQ(journal.Size(), 1u);  // the state at start-up alone
    clipboard.failing = false;
    ASSERT_TRUE(PumpUntil([&] { return journal.Size() == 2; }));
    EXPECT_EQ(journal.Newest(0).sequence, 5u);
    EXPECT_EQ(journal.Newest(0).missed, 1u);
}

// A change whose entry fails to show (its window's update throws): the
// changes taken over with it are entered first, and those that come while
// its error box is up after them, in their order.
TEST(JournalListenerErrors, EntriesKeepTheirOrderWhileARecordsBoxIsUp) {
    LoopingErrorBoxes messages;
    HolderUnaskable clipboard;
    clipboard.failing = false;
    clipboard.formats = {{kTextFormat, ""}};
    ClipboardJournal journal;
    bool failOnce = false;
    journal.OnChanged([&] {
        if (std::exchange(failOnce, false)) throw std::runtime_error("the entry cannot be shown");
    });
    ClipboardJournalListener listener{journal, clipboard, messages};
    ASSERT_TRUE(PumpUntil([&] { return journal.Size() == 1; }));
    const auto change = [&](std::uint32_t number) {
        clipboard.number = number;
        PostMessageA(listener.ListeningWindow(), WM_CLIPBOARDUPDATE, 0, 0);
        Sleep(200);  // seen on the listening thread, not yet taken over
    };
    failOnce = true;
    change(2);
    change(3);
    messages.whileUp = [&] { change(4); };
    ASSERT_TRUE(PumpUntil([&] { return journal.Size() == 4 && messages.up == 0; }));
    EXPECT_THAT(messages.errors, ::testing::ElementsAre("the entry cannot be shown"));
    std::vector<std::uint32_t> newestFirst;
    for (std::size_t i = 0; i < journal.Size(); ++i)
        newestFirst.push_back(journal.Newest(i).sequence);
    EXPECT_THAT(newestFirst, ::testing::ElementsAre(4u, 3u, 2u, 1u));
}
}  // namespace
}  // namespace norvane
