// The reader process over the real clipboard, whose data clipboard_helper
// owns in another process: a reading done there, an owner that never
// renders given up, and a reader that dies said so and replaced.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <string>

#include "clipboard/standard_formats.h"
#include "reader/win32_reader_process.h"
#include "win32/second_process.h"

namespace norvane {
namespace {

using testing::ClipboardHelper;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

// Whether another program could open the clipboard within `limit`.
bool OpensWithin(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        if (OpenClipboard(nullptr)) {
            CloseClipboard();
            return true;
        }
        Sleep(10);
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

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

// An owner that never renders: the reading stopped ends the reader, the
// clipboard it held is free at once, and the next reading has a new reader.
TEST(ReaderProcess, AnOwnerThatNeverRendersIsGivenUp) {
    const ClipboardHelper owner("stuckrender", "");
    ReaderProcess reader;
    const auto asked = std::chrono::steady_clock::now();
    const FormatReading stopped =
        reader.Read(kTextFormat, [&] { return std::chrono::steady_clock::now() - asked > 300ms; });
    EXPECT_EQ(stopped.outcome, ReadOutcome::Failed);
    EXPECT_EQ(reader.ProcessId(), 0u);
    EXPECT_TRUE(OpensWithin(1s));
    EXPECT_EQ(reader.Read(0xC0DE, {}).outcome, ReadOutcome::FormatGone);
}

// A reader killed from outside in the middle of a reading: the reading says
// how it ended, and the next one works.
TEST(ReaderProcess, AReaderKilledSaysSoAndTheNextReadingWorks) {
    const ClipboardHelper owner("stuckrender", "");
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

}  // namespace
}  // namespace norvane
