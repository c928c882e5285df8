#include "journal/journal_formats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_clipboard.h"
#include "journal/clipboard_journal.h"

namespace norvane {
namespace {

using testing::FakeClipboard;

constexpr char kTextFormats[] = "CF_UNICODETEXT, CF_LOCALE, CF_TEXT, CF_OEMTEXT";

ClipboardChange Change(std::uint32_t sequence, std::string formatNames) {
    ClipboardChange change;
    change.tick = sequence * 5'000;
    change.sequence = sequence;
    change.owner = JournalWindow{"Notepad", "notepad.exe", 40};
    change.formats = 4;
    change.formatNames = std::move(formatNames);
    return change;
}

TEST(JournalFormats, NamedAsTheFormatListNamesThemRegisteredOnesByTheirName) {
    FakeClipboard clipboard;
    clipboard.formats = {{13, ""},
                         {16, ""},
                         {0xC123, "Формат \u65E5\u672C"},
                         {0x80, ""},
                         {0x205, ""},
                         {17, ""},
                         // Names that would read as two, or draw lines.
                         {0xC124, "PNG, CF_UNICODETEXT"},
                         {0xC125, "say \"hi\""},
                         {0xC126, "A\r\nB\u2028C\u202Ed"}};
    const std::vector<unsigned> numbers = *clipboard.UpdatedFormats();
    EXPECT_EQ(JournalFormatNames(clipboard, numbers),
              "CF_UNICODETEXT, CF_LOCALE, Формат \u65E5\u672C, CF_OWNERDISPLAY, "
              "CF_PRIVATEFIRST+5, CF_MAX, \"PNG, CF_UNICODETEXT\", \"say \"\"hi\"\"\", "
              "A\\u000D\\u000AB\\u2028C\\u202Ed");
    EXPECT_EQ(JournalFormatNames(clipboard, {}), "");

    // The window's class and program are shown and saved on one line too.
    ClipboardJournal journal;
    ClipboardChange change = Change(10, "CF_TEXT");
    change.owner = JournalWindow{"Spoof\r\nOwner: A\u202E", "a\u0085b.exe", 4};
    journal.RecordChange(change);
    const auto columns = JournalColumnTexts(journal, journal.Newest(0));
    EXPECT_EQ(columns[2], "a\\u0085b.exe");
    EXPECT_EQ(columns[4], "Spoof\\u000D\\u000AOwner: A\\u202E");
}

struct Shortening {
    const char* names;
    std::size_t count;
    std::size_t width;
    const char* shown;
};

class ShortFormats : public ::testing::TestWithParam<Shortening> {};

TEST_P(ShortFormats, FitTheColumnWithTheirCount) {
    const Shortening& c = GetParam();
    EXPECT_EQ(ShortFormatsText(c.names, c.count, c.width), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortFormats,
    ::testing::Values(Shortening{kTextFormats, 4, 46, kTextFormats},  // fits exactly
                      Shortening{kTextFormats, 4, 200, kTextFormats},
                      Shortening{kTextFormats, 4, 30, "4: CF_UNICODETEXT, CF_LOCAL..."},
                      Shortening{kTextFormats, 4, 4, "4: ..."},  // room for nothing of it
                      // Counted and cut by characters, not bytes.
                      Shortening{"Формат один, Формат два", 2, 23, "Формат один, Формат два"},
                      Shortening{"Формат один, Формат два", 2, 12, "2: Формат..."},
                      Shortening{"\U0001F4CB clip, CF_TEXT", 2, 10, "2: \U0001F4CB cl..."}));

TEST(JournalFormats, AListIsKeptOnceAndGoesWithItsLastEntry) {
    ClipboardJournal journal(3);
    journal.RecordChange(Change(10, kTextFormats));
    journal.RecordChange(Change(20, kTextFormats));
    journal.RecordChange(Change(30, "CF_DIB, CF_BITMAP"));
    const std::size_t threeEntries = journal.MemoryUsed();
    EXPECT_EQ(journal.Newest(1).formatNames, journal.Newest(2).formatNames);
    EXPECT_EQ(journal.Name(journal.Newest(2).formatNames), kTextFormats);
    EXPECT_EQ(JournalColumnTexts(journal, journal.Newest(0))[5], "CF_DIB, CF_BITMAP");
    // Not listed: the count, as before.
    journal.RecordChange(Change(40, ""));
    EXPECT_EQ(journal.Newest(0).formatNames, 0u);
    EXPECT_EQ(JournalColumnTexts(journal, journal.Newest(0))[5], "4");
    journal.RecordChange(Change(50, ""));
    EXPECT_LT(journal.MemoryUsed(), threeEntries);  // the text formats' list went
    EXPECT_EQ(JournalTabText(journal).find("CF_LOCALE"), std::string::npos);
}

TEST(JournalFormats, LongNamesAreCutOnAWholeCharacter) {
    ClipboardJournal journal;
    // Two-byte characters from an odd byte on: no cut may split one.
    std::string names = "x";
    for (int i = 0; i < 3'000; ++i) names += "Ж";
    ClipboardChange change = Change(10, names);
    change.owner = JournalWindow{"x" + names, names, 7};
    journal.RecordChange(change);
    const JournalEntry& entry = journal.Newest(0);
    const std::string_view kept[] = {journal.Name(entry.windowClass), journal.Name(entry.program),
                                     journal.Name(entry.formatNames)};
    EXPECT_EQ(kept[0].size(), ClipboardJournal::kLongestName);
    EXPECT_EQ(kept[1].size(), ClipboardJournal::kLongestName - 1);
    EXPECT_EQ(kept[2].size(), ClipboardJournal::kLongestFormatNames - 1);
    for (const std::string_view name : kept) EXPECT_EQ(name.substr(name.size() - 2), "Ж");
}

}  // namespace
}  // namespace norvane
