#include "journal/clipboard_journal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace norvane {
namespace {

using ::testing::HasSubstr;

constexpr JournalTime kStart = 13'441'223'103'123;  // 2026-12-08 17:05:03.123
constexpr JournalTick kStartTick = 3'600'000;       // an hour after the system started
constexpr JournalTime kHour = 3'600'000;

JournalWindow Notepad() {
    return {"Notepad", "notepad.exe", 40};
}
JournalWindow Word() {
    return {"OpusApp", "WINWORD.EXE", 72};
}

ClipboardChange Change(JournalTime at, std::uint32_t sequence, std::optional<JournalWindow> owner,
                       std::uint32_t formats = 4) {
    ClipboardChange change;
    change.time = kStart + at;
    change.tick = kStartTick + static_cast<JournalTick>(at);
    change.sequence = sequence;
    change.owner = std::move(owner);
    change.formats = formats;
    change.text = formats > 0;
    return change;
}

HolderSample Holding(JournalTime at, std::optional<JournalWindow> holder) {
    return {kStart + at, kStartTick + static_cast<JournalTick>(at), true, std::move(holder)};
}
HolderSample Free(JournalTime at) {
    return {kStart + at, kStartTick + static_cast<JournalTick>(at), false, std::nullopt};
}

// What the listener saw, at another tick.
template <class Seen>
Seen AtTick(Seen seen, JournalTick tick) {
    seen.tick = tick;
    return seen;
}

TEST(ClipboardJournal, AChangeNamesItsOwnerOnce) {
    ClipboardJournal journal;
    journal.RecordChange(Change(0, 10, Notepad()));
    journal.RecordChange(Change(5'000, 15, Notepad()));
    ASSERT_EQ(journal.Size(), 2u);
    const JournalEntry& entry = journal.Newest(0);
    EXPECT_EQ(entry.event, JournalEvent::Set);
    EXPECT_EQ(entry.sequence, 15u);
    EXPECT_EQ(entry.processId, 40u);
    EXPECT_TRUE(entry.hasWindow);
    EXPECT_EQ(journal.Name(entry.windowClass), "Notepad");
    EXPECT_EQ(journal.Name(entry.program), "notepad.exe");
    EXPECT_EQ(entry.program, journal.Newest(1).program);
    EXPECT_EQ(journal.Newest(1).time, kStart);
}

// One change after another: how the second is marked.
struct MarkingCase {
    const char* what;
    std::uint32_t firstProcess;  // 0: an owner that had gone before the reading
    std::uint32_t firstFormats;
    bool firstAtStartUp;
    JournalTime apart;
    std::uint32_t secondProcess;  // 0: likewise; kNoOwner: no owner window
    std::uint32_t secondFormats;
    std::uint32_t secondNotices;
    JournalEvent expected;
};

constexpr std::uint32_t kNoOwner = 0xFFFF'FFFF;

const MarkingCase kMarkings[] = {
    {"another program within a second", 40, 4, false, 999, 72, 4, 1, JournalEvent::Replaced},
    {"the same program", 40, 4, false, 100, 40, 4, 1, JournalEvent::Set},
    {"a second later", 40, 4, false, 1'000, 72, 4, 1, JournalEvent::Set},
    {"after a clearing: nothing to replace", 40, 0, false, 100, 72, 4, 1, JournalEvent::Set},
    {"an owner gone before the reading", 40, 4, false, 100, 0, 4, 1, JournalEvent::Set},
    {"after an owner gone before the reading", 0, 4, false, 100, 72, 4, 1, JournalEvent::Set},
    {"no owner window", 40, 4, false, 100, kNoOwner, 4, 1, JournalEvent::Set},
    {"changes not seen between", 40, 4, false, 100, 72, 4, 2, JournalEvent::Set},
    {"after the state at start-up", 40, 4, true, 100, 72, 4, 1, JournalEvent::Set},
    {"no formats left", 40, 4, false, 100, 72, 0, 1, JournalEvent::Cleared},
};

TEST(ClipboardJournal, MarksEachChangeByTheOneBefore) {
    for (const MarkingCase& c : kMarkings) {
        SCOPED_TRACE(c.what);
        ClipboardJournal journal;
        ClipboardChange first =
            Change(0, 10, JournalWindow{"First", "first.exe", c.firstProcess}, c.firstFormats);
        first.atStartUp = c.firstAtStartUp;
        journal.RecordChange(first);
        ClipboardChange second =
            Change(c.apart, 20,
                   c.secondProcess == kNoOwner
                       ? std::nullopt
                       : std::optional(JournalWindow{"Second", "second.exe", c.secondProcess}),
                   c.secondFormats);
        second.notices = c.secondNotices;
        journal.RecordChange(second);
        ASSERT_EQ(journal.Size(), 2u);
        EXPECT_EQ(journal.Newest(0).event, c.expected);
        EXPECT_EQ(journal.Newest(0).hasWindow, c.secondProcess != kNoOwner);
    }
}

// A change notice comes when its program closes the clipboard: a hold the
// polls followed ends there, also when the reading waited for a close.
TEST(ClipboardJournal, AChangeEndsAHoldAtItsTime) {
    for (const bool readingWaited : {false, true}) {
        SCOPED_TRACE(readingWaited ? "the reading waited" : "read at once");
        ClipboardJournal journal;
        // Word holds 400 ms, closes at 420 with a change, opens again at 440.
        for (JournalTime at = 20; at <= 420; at += 100) journal.RecordHolder(Holding(at, Word()));
        if (readingWaited)
            journal.RecordClose(kStartTick + 420);
        else
            journal.RecordChange(Change(420, 10, Word()));
        for (JournalTime at = 440; at <= 840; at += 100) journal.RecordHolder(Holding(at, Word()));
        journal.RecordHolder(Free(860));
        for (std::size_t i = 0; i < journal.Size(); ++i)
            EXPECT_NE(journal.Newest(i).event, JournalEvent::Held)
                << JournalEventText(journal.Newest(i));
    }
}

TEST(ClipboardJournal, AChangeEndsALongHoldWithItsLength) {
    ClipboardJournal journal;
    for (JournalTime at = 0; at <= 700; at += 100) journal.RecordHolder(Holding(at, Word()));
    journal.RecordChange(Change(750, 10, Word()));
    ASSERT_EQ(journal.Size(), 2u);
    EXPECT_EQ(journal.Newest(1).event, JournalEvent::Held);
    EXPECT_EQ(journal.Newest(1).heldMs, 750u);
    EXPECT_FALSE(journal.Newest(1).holding);
    // A close notice stamped before a hold began does not end it.
    journal.RecordHolder(Holding(800, Notepad()));
    journal.RecordClose(kStartTick + 790);
    for (JournalTime at = 900; at <= 1'400; at += 100) journal.RecordHolder(Holding(at, Notepad()));
    EXPECT_EQ(journal.Newest(0).heldMs, 600u);
    EXPECT_TRUE(journal.Newest(0).holding);
}

TEST(ClipboardJournal, AListenerThatCouldNotStartIsTold) {
    ClipboardJournal journal;
    int changed = 0;
    journal.OnChanged([&] { ++changed; });
    EXPECT_FALSE(journal.ListenerFailure());
    journal.RecordListenerFailure(1400);
    EXPECT_EQ(journal.ListenerFailure(), 1400u);
    EXPECT_EQ(changed, 1);
}

TEST(ClipboardJournal, NoFormatsLeftIsAClearing) {
    ClipboardJournal journal;
    journal.RecordChange(Change(0, 10, Notepad()));
    journal.RecordChange(Change(100, 11, Word(), 0));
    EXPECT_EQ(journal.Newest(0).event, JournalEvent::Cleared);
    EXPECT_EQ(journal.Newest(0).missed, 0u);
}

TEST(ClipboardJournal, ChangesNotSeenAreCountedBeforeTheOneSeen) {
    ClipboardJournal journal;
    journal.RecordChange(Change(0, 10, Notepad()));
    // Three notices answered by one reading: two changes not seen.
    ClipboardChange late = Change(10'000, 28, Notepad());
    late.notices = 3;
    journal.RecordChange(late);
    EXPECT_EQ(journal.Newest(0).missed, 2u);
    // Notices that come after their change was read past count with it.
    for (JournalTime at = 10'000; at <= 10'600; at += 300)
        journal.RecordHolder(Holding(at, Word()));
    ClipboardChange again = Change(10'700, 28, Notepad());
    again.notices = 2;
    journal.RecordChange(again);
    EXPECT_EQ(journal.Size(), 3u);
    EXPECT_EQ(journal.Newest(1).missed, 4u);
    // A number that moved far (a reading before came half-way through a
    // copy) counts nothing by itself.
    journal.RecordChange(Change(20'000, 40, Word(), 4));
    EXPECT_EQ(journal.Newest(0).missed, 0u);
    ClipboardChange burst = Change(30'000, 50, Word(), 4);
    burst.notices = 2;
    journal.RecordChange(burst);
    EXPECT_EQ(JournalEventText(journal.Newest(0)), "set; 1 change not seen before");
}

TEST(ClipboardJournal, TheFullRingDropsItsOldestAndItsNames) {
    ClipboardJournal journal(3);
    int changed = 0;
    journal.OnChanged([&] { ++changed; });
    journal.RecordChange(Change(0, 10, Word()));
    for (std::uint32_t n = 1; n <= 4; ++n)
        journal.RecordChange(Change(n * 5'000, 10 + n * 5, Notepad()));
    EXPECT_EQ(changed, 5);
    ASSERT_EQ(journal.Size(), 3u);
    EXPECT_EQ(journal.Dropped(), 2u);
    EXPECT_EQ(journal.Newest(0).sequence, 30u);
    EXPECT_EQ(journal.Newest(2).sequence, 20u);
    EXPECT_EQ(JournalTabText(journal).find("OpusApp"), std::string::npos);
    // Word's names went with its entry; their numbers serve new names.
    journal.RecordChange(Change(30'000, 35, JournalWindow{"Other", "other.exe", 9}));
    EXPECT_EQ(journal.Name(journal.Newest(0).program), "other.exe");
}

TEST(ClipboardJournal, AFullRingStaysWithinTwoMegabytes) {
    ClipboardJournal journal;
    for (std::uint32_t n = 0; n < 12'000; ++n) {
        const std::string program = "program number " + std::to_string(n % 60) + ".exe";
        journal.RecordChange(
            Change(n * 10, 10 + n * 5,
                   JournalWindow{"A rather long window class name " + std::to_string(n % 60),
                                 program, n % 60}));
    }
    EXPECT_EQ(journal.Size(), ClipboardJournal::kCapacity);
    EXPECT_EQ(journal.Dropped(), 2'000u);
    EXPECT_LE(journal.MemoryUsed(), 2'000'000u);
}

TEST(ClipboardJournal, NamesAllDifferentAndLongStillKeepWithinTwoMegabytes) {
    ClipboardJournal journal;
    for (std::uint32_t n = 0; n < ClipboardJournal::kCapacity; ++n) {
        const std::string unique = std::to_string(n) + std::string(1'000, 'x');
        journal.RecordChange(Change(n * 10, 10 + n * 5, JournalWindow{unique, unique, n}));
    }
    EXPECT_LE(journal.MemoryUsed(), ClipboardJournal::kMemoryLimit);
    EXPECT_GT(journal.Dropped(), 0u);
    EXPECT_EQ(journal.Size() + journal.Dropped(), ClipboardJournal::kCapacity);
    EXPECT_EQ(journal.Name(journal.Newest(0).program).size(), ClipboardJournal::kLongestName);
}

TEST(ClipboardJournal, AHoldIsEnteredAfterHalfASecondAndGrowsUntilLetGo) {
    ClipboardJournal journal;
    int changed = 0;
    journal.OnChanged([&] { ++changed; });
    for (JournalTime at = 0; at <= 500; at += 100) journal.RecordHolder(Holding(at, Word()));
    EXPECT_EQ(journal.Size(), 0u);
    journal.RecordHolder(Holding(600, Word()));
    ASSERT_EQ(journal.Size(), 1u);
    EXPECT_EQ(journal.Newest(0).event, JournalEvent::Held);
    EXPECT_TRUE(journal.Newest(0).holding);
    EXPECT_EQ(journal.Newest(0).heldMs, 600u);
    EXPECT_EQ(JournalEventText(journal.Newest(0)), "held open 600 ms so far");
    journal.RecordHolder(Holding(700, Word()));
    EXPECT_EQ(journal.Newest(0).heldMs, 700u);
    journal.RecordHolder(Free(800));
    journal.RecordHolder(Free(900));
    EXPECT_EQ(changed, 3);
    const JournalEntry& hold = journal.Newest(0);
    EXPECT_FALSE(hold.holding);
    EXPECT_EQ(hold.heldMs, 800u);
    EXPECT_EQ(hold.time, kStart);
    EXPECT_EQ(hold.processId, 72u);
    EXPECT_EQ(journal.Name(hold.windowClass), "OpusApp");
    EXPECT_EQ(JournalEventText(hold), "held open 800 ms");
}

TEST(ClipboardJournal, ShortHoldsAreNotEnteredAndANewHolderStartsAgain) {
    ClipboardJournal journal;
    journal.RecordHolder(Holding(0, Word()));
    journal.RecordHolder(Holding(400, Word()));
    journal.RecordHolder(Free(500));  // 500 ms: not longer than half a second
    journal.RecordHolder(Holding(1'000, Word()));
    journal.RecordHolder(Holding(1'400, Notepad()));  // Word let go, Notepad took it
    journal.RecordHolder(Holding(1'800, Notepad()));
    EXPECT_EQ(journal.Size(), 0u);
    journal.RecordHolder(Free(2'100));  // seen last at 1,800, over by 2,100
    ASSERT_EQ(journal.Size(), 1u);
    EXPECT_EQ(journal.Newest(0).processId, 40u);
    EXPECT_EQ(journal.Newest(0).heldMs, 700u);
    EXPECT_FALSE(journal.Newest(0).holding);
}

TEST(ClipboardJournal, PollsFarApartDoNotJoinAHold) {
    ClipboardJournal journal;
    for (JournalTime at = 0; at <= 300; at += 100) journal.RecordHolder(Holding(at, Word()));
    journal.RecordHolder(Holding(5'000, Word()));  // the poller was busy meanwhile
    journal.RecordHolder(Holding(5'100, Word()));
    journal.RecordHolder(Free(5'200));
    EXPECT_EQ(journal.Size(), 0u);
}

// The clock set back an hour (daylight saving ended, the time synchronised)
// while the tick went on: intervals are the tick's, times shown the clock's.
TEST(ClipboardJournal, AClockSetBackNeitherReplacesNorSpoilsAHold) {
    ClipboardJournal journal;
    journal.RecordChange(Change(0, 10, Notepad()));
    ClipboardChange later = Change(5'000, 15, Word());
    later.time -= kHour;
    journal.RecordChange(later);
    EXPECT_EQ(journal.Newest(0).event, JournalEvent::Set);
    EXPECT_EQ(journal.Newest(0).time, kStart + 5'000 - kHour);
    for (JournalTime at = 10'000; at <= 11'000; at += 100) {
        HolderSample sample = at < 11'000 ? Holding(at, Word()) : Free(at);
        if (at >= 10'300) sample.time -= kHour;
        journal.RecordHolder(sample);
    }
    ASSERT_EQ(journal.Size(), 3u);
    const JournalEntry& hold = journal.Newest(0);
    EXPECT_EQ(hold.event, JournalEvent::Held);
    EXPECT_EQ(hold.heldMs, 1'000u);
    EXPECT_FALSE(hold.holding);
    EXPECT_EQ(hold.time, kStart + 10'000);
}

// GetTickCount starts again at 0 after 49.7 days.
TEST(ClipboardJournal, TheTickWrappingIsHarmless) {
    constexpr JournalTick kBeforeWrap = 0xFFFF'FF00;
    ClipboardJournal journal;
    journal.RecordChange(AtTick(Change(0, 10, Notepad()), kBeforeWrap));
    journal.RecordChange(AtTick(Change(600, 15, Word()), kBeforeWrap + 600));
    journal.RecordChange(AtTick(Change(5'000, 20, Notepad()), kBeforeWrap + 5'000));
    EXPECT_EQ(journal.Newest(1).event, JournalEvent::Replaced);
    EXPECT_EQ(journal.Newest(0).event, JournalEvent::Set);
    for (JournalTick at = 0; at < 900; at += 100)
        journal.RecordHolder(AtTick(Holding(10'000 + at, Word()), kBeforeWrap + at));
    journal.RecordHolder(AtTick(Free(10'900), kBeforeWrap + 900));
    ASSERT_EQ(journal.Size(), 4u);
    EXPECT_EQ(journal.Newest(0).heldMs, 900u);
    EXPECT_FALSE(journal.Newest(0).holding);
}

TEST(ClipboardJournal, AHoldWithoutAWindowSaysSo) {
    ClipboardJournal journal;
    for (JournalTime at = 0; at <= 600; at += 300) journal.RecordHolder(Holding(at, std::nullopt));
    ASSERT_EQ(journal.Size(), 1u);
    const auto columns = JournalColumnTexts(journal, journal.Newest(0));
    EXPECT_EQ(columns[2], "");
    EXPECT_EQ(columns[3], "");
    EXPECT_EQ(columns[4], "no window");
    EXPECT_EQ(columns[5], "");
    EXPECT_EQ(columns[6], "");
}

TEST(JournalText, TimesToTheMillisecond) {
    EXPECT_EQ(JournalTimeText(kStart), "2026-12-08 17:05:03.123");
    EXPECT_EQ(JournalTimeText(13'353'724'799'999), "2024-02-29 23:59:59.999");
    EXPECT_EQ(JournalTimeText(13'353'724'800'000), "2024-03-01 00:00:00.000");
    EXPECT_EQ(JournalTimeText(0), "1601-01-01 00:00:00.000");
}

TEST(JournalText, TabTextNewestFirstWithNamesMadeSafe) {
    ClipboardJournal journal;
    journal.RecordChange(Change(0, 10, JournalWindow{"Tab\tClass", "line\r\nbreak.exe", 7}));
    ClipboardChange picture = Change(2'000, 13, std::nullopt, 2);
    picture.text = false;
    picture.picture = true;
    journal.RecordChange(picture);
    journal.RecordChange(Change(2'500, 14, Word(), 0));
    EXPECT_EQ(JournalTabText(journal),
              "Time\tEvent\tProgram\tProcess id\tWindow class\tFormats\tSequence number\r\n"
              "2026-12-08 17:05:05.623\tcleared\tWINWORD.EXE\t72\tOpusApp\t0\t14\r\n"
              "2026-12-08 17:05:05.123\tset\t\t\tno owner window\t2 (picture)\t13\r\n"
              "2026-12-08 17:05:03.123\tset\tline\\u000D\\u000Abreak.exe\t7\tTab\\u0009Class\t4 "
              "(text)\t10\r\n");
}

TEST(JournalText, EventsInWords) {
    JournalEntry entry;
    entry.event = JournalEvent::Replaced;
    entry.missed = 998;
    EXPECT_EQ(JournalEventText(entry), "replaced; 998 changes not seen before");
    entry.event = JournalEvent::Cleared;
    entry.missed = 0;
    EXPECT_THAT(JournalEventText(entry), HasSubstr("cleared"));
}

}  // namespace
}  // namespace norvane
