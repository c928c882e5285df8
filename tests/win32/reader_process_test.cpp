// The reader process over the real clipboard, whose data clipboard_helper
// owns in another process: a reading done there, an owner that never
// renders given up, and a reader that dies said so and replaced.
#include <windows.h>
#include <tlhelp32.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <string>

#include "clipboard/standard_formats.h"
#include "clipboard/win32_clipboard_service.h"
#include "clipboard/win32_viewer_form.h"
#include "fakes/recording_messages.h"
#include "inspector/win32_format_inspector_form.h"
#include "inspector/win32_save_all_formats.h"
#include "inspector/win32_save_all_progress_form.h"
#include "reader/win32_reader_process.h"
#include "reader/win32_viewer_copier.h"
#include "win32/message_pump.h"
#include "win32/second_process.h"
#include "win32/timer_script.h"

namespace norvane {
namespace {

using testing::ClipboardHelper;
using ::testing::HasSubstr;
using testing::RecordingMessages;
using namespace std::chrono_literals;

// Whether no reader holds the clipboard open within `limit`. (Under Wine
// the system's own bridge to the X server's selections may take it next,
// and wait seconds for an owner that never renders.)
bool ReaderGoneWithin(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        char holder[32] = {};
        GetClassNameA(GetOpenClipboardWindow(), holder, sizeof holder);
        if (std::string(holder) != "TNorvaneReader") return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        Sleep(10);
    }
}

// An owner that offers text and, asked for it, never renders it. Once it
// is gone, the clipboard is emptied and the test waits until an open no
// longer stalls: Wine's bridge to the X server's selections waits seconds
// on such an owner for each format it offers, and every open meanwhile.
struct AStuckOwner : ::testing::Test {
    std::optional<ClipboardHelper> owner{std::in_place, "stuckrender", ""};
    void TearDown() override {
        owner.reset();
        const auto end = std::chrono::steady_clock::now() + 30s;
        while (std::chrono::steady_clock::now() < end) {
            const auto asked = std::chrono::steady_clock::now();
            if (!OpenClipboard(nullptr)) {
                Sleep(10);
                continue;
            }
            EmptyClipboard();
            CloseClipboard();
            if (std::chrono::steady_clock::now() - asked < 100ms) break;
        }
    }
};

TEST(ReaderProcess, ReadsInAProcessOfItsOwnThatEndsWithIt) {
    const ClipboardHelper owner("text", "read elsewhere");
    std::optional<ReaderProcess> reader(std::in_place);
    const FormatReading read = reader->Read(kTextFormat, {});
    ASSERT_EQ(read.outcome, ReadOutcome::Read) << read.failure;
    EXPECT_EQ(std::string(read.data.bytes.begin(), read.data.bytes.end()),
              std::string("read elsewhere", 15));
    EXPECT_EQ(read.program.processId, owner.Id());
    const DWORD readerId = reader->ProcessId();
    ASSERT_NE(readerId, 0u);
    EXPECT_NE(readerId, GetCurrentProcessId());
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, readerId);
    EXPECT_EQ(reader->Read(0xC0DE, {}).outcome, ReadOutcome::FormatGone);  // the same reader
    EXPECT_EQ(reader->ProcessId(), readerId);
    reader.reset();
    EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0);
    CloseHandle(process);
}

// A reader killed from outside in the middle of a reading: the reading says
// how it ended, and the next one works.
TEST_F(AStuckOwner, AReaderKilledSaysSoAndTheNextReadingWorks) {
    ReaderProcess reader;
    auto reading = std::async(std::launch::async, [&] { return reader.Read(kTextFormat, {}); });
    DWORD readerId = 0;
    for (int tries = 0; tries < 500 && (readerId = reader.ProcessId()) == 0; ++tries) Sleep(10);
    ASSERT_NE(readerId, 0u);
    Sleep(200);  // inside the owner's rendering
    const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, readerId);
    TerminateProcess(process, 0xC0000005);
    CloseHandle(process);
    ASSERT_EQ(reading.wait_for(5s), std::future_status::ready);
    const FormatReading killed = reading.get();
    EXPECT_EQ(killed.outcome, ReadOutcome::Failed);
    EXPECT_EQ(killed.failure, "the reader stopped (exception 0xC0000005)");
    EXPECT_EQ(reader.Read(0xC0DE, {}).outcome, ReadOutcome::FormatGone);
}

// The inspector over an owner that never renders: it says whom it waits
// for and how long, answers meanwhile, and its Close gives the reading up,
// so that other programs have the clipboard again at once.
TEST_F(AStuckOwner, TheInspectorNamesTheOwnerItWaitsForAndItsCloseGivesUp) {
    RecordingMessages messages;
    Win32ClipboardService clipboard;
    TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
    inspector.SetFormat(kTextFormat, "CF_TEXT (Predefined) [1]");
    inspector.Show();
    const std::string waiting =
        "Format 1\r\n" + std::string(inspector.kReadingText) +
        "\r\nWaiting for NorvaneTestOwner of clipboard_helper.exe (process " +
        std::to_string(owner->Id()) + ") to render CF_TEXT: 2 s";
    EXPECT_TRUE(testing::PumpUntil([&] {
        return inspector.TextOf(inspector.Get(InspectorFormPart::Header_Label)) == waiting;
    }));
    inspector.Hide();  // as Close hides it over the list
    EXPECT_TRUE(ReaderGoneWithin(1s));
    EXPECT_TRUE(messages.shown.empty());
}

// Save All over an owner that never renders: its progress says it reads,
// and its Cancel gives the reading up; nothing is saved, and says why.
TEST_F(AStuckOwner, SaveAllsCancelGivesUpAnOwnerThatNeverRenders) {
    RecordingMessages messages;
    Win32ClipboardService clipboard;
    bool saidReading = false;
    testing::TimerScript script({[&] {
                                    HWND progress = FindWindowA("TSave_All_Progress_Form", nullptr);
                                    if (!progress || !IsWindowVisible(progress)) return false;
                                    saidReading = FindWindowExA(progress, nullptr, nullptr,
                                                                kReadingFormatsText) != nullptr;
                                    PostMessageA(progress, WM_CLOSE, 0, 0);
                                    return true;
                                }},
                                [] {});
    const SaveAllSettings settings{[](HWND) { return std::optional<std::string>(); }};
    EXPECT_EQ(SaveAllFormats(clipboard, messages, nullptr, settings), std::nullopt);
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(saidReading);
    EXPECT_TRUE(ReaderGoneWithin(1s));
    EXPECT_THAT(
        messages.Texts(),
        ::testing::ElementsAre(
            "Nothing was saved: the clipboard could not be read: the reading was stopped."));
}

// The viewer copying from an owner that never renders: the windows answer
// meanwhile, and Esc gives the copy up and ends the reader.
TEST_F(AStuckOwner, TheViewersEscGivesUpAnOwnerThatNeverRenders) {
    RecordingMessages messages;
    Win32ClipboardService clipboard;
    TClipboard_Viewer_Form viewer{messages, clipboard, nullptr};
    viewer.SetCopier(ViewerCopierInReader());
    testing::TimerScript script({[&] {
                                    if (ReaderGoneWithin(0ms)) return false;  // not reading yet
                                    PostMessageA(viewer.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
                                    return true;
                                }},
                                [] {});
    viewer.Show();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(ReaderGoneWithin(1s));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(messages.errors.empty());
}

// The process a program started, if any.
DWORD ChildOf(DWORD parent) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD child = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && !child;
         more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == parent) child = entry.th32ProcessID;
    CloseHandle(snapshot);
    return child;
}

// The reader ends with the program, also when the program is killed.
TEST(ReaderProcess, EndsWhenTheProgramIsKilled) {
    const testing::SecondProcess program("start-reader", "-");
    const HANDLE reader = OpenProcess(SYNCHRONIZE, FALSE, ChildOf(program.Id()));
    ASSERT_NE(reader, nullptr);
    const HANDLE killed = OpenProcess(PROCESS_TERMINATE, FALSE, program.Id());
    TerminateProcess(killed, 1);
    CloseHandle(killed);
    EXPECT_EQ(WaitForSingleObject(reader, 5000), WAIT_OBJECT_0);
    CloseHandle(reader);
}

}  // namespace
}  // namespace norvane
