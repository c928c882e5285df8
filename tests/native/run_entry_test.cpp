#include "app/run_entry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/run_entry_messages.h"
#include "fakes/fake_registry.h"
#include "fakes/recording_messages.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using testing::FakeRegistry;
using ::testing::HasSubstr;
using testing::RecordingMessages;

constexpr char kPath[] = "C:\\Tools\\norvanel.exe";
constexpr char kKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct RunEntryTest : ::testing::Test {
    FakeRegistry registry;
    RecordingMessages messages;
    RunEntry entry{registry, messages, kPath};
    void Store(const std::string& data, unsigned type = kRegSz) {
        registry.values[{FakeRegistry::kRun, "norvanel.exe"}] = {type, data + '\0'};
    }
};

TEST_F(RunEntryTest, AddWritesTheValueAndSaysSo) {
    EXPECT_FALSE(entry.Verify());
    EXPECT_TRUE(entry.Add());
    EXPECT_EQ(registry.Text("norvanel.exe"), std::string(kPath) + '\0');
    EXPECT_THAT(
        messages.Texts(),
        ElementsAre("This program (norvanel.exe) will now run automatically at Windows Start-Up."));
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Information);
    EXPECT_TRUE(entry.Verify());
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(RunEntryTest, RemoveDeletesEvenAMissingValue) {
    Store(kPath);
    EXPECT_TRUE(entry.Remove());
    EXPECT_EQ(registry.Text("norvanel.exe"), "<none>");
    EXPECT_TRUE(entry.Remove());
    EXPECT_THAT(
        messages.Texts(),
        ElementsAre(
            "This program (norvanel.exe) will now no-longer run automatically at Windows Start-Up.",
            "This program (norvanel.exe) will now no-longer run automatically at Windows "
            "Start-Up."));
}

TEST_F(RunEntryTest, MissingKeySaysTheKeyDoesNotExist) {
    registry.keys.clear();
    EXPECT_FALSE(entry.Add());
    EXPECT_FALSE(entry.Remove());
    EXPECT_FALSE(entry.Verify());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text,
              "Error: The specified Registry Key for this operation \r\ndoes NOT exist on your PC. "
              " \r\n\r\n"
              " Error Key   = \\Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\n"
              " Error Item  = norvanel.exe\r\n"
              " Error Value = C:\\Tools\\norvanel.exe\r\n\r\n"
              "Please contact the program's author.");
    EXPECT_EQ(messages.shown[1].text,
              "Error: The specified Registry Key for this operation \r\ndoes NOT exist on your PC. "
              " \r\n\r\n"
              " Error Key   = \\Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\n"
              " Error Item  = norvanel.exe\r\n\r\n"
              "Please contact the program's author.");
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
}

TEST_F(RunEntryTest, ReadBackThatDiffersSaysTheSettingsCouldNotBeSaved) {
    registry.readBackSuffix = "x";
    EXPECT_FALSE(entry.Add());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Error: The required settings could not be created \r\nor saved in the Windows "
              "Registry.  \r\n\r\n"
              " Error Key   = \\Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\n"
              " Error Item  = norvanel.exe\r\n"
              " Error Value = C:\\Tools\\norvanel.exe\r\n\r\n"
              "Please contact the program's author.");
}

TEST_F(RunEntryTest, ValueThatStaysSaysItCouldNotBeRemoved) {
    Store(kPath);
    registry.keepOnDelete = true;
    EXPECT_FALSE(entry.Remove());
    EXPECT_THAT(
        messages.Texts(),
        ElementsAre(
            "Error: The required Registry Key settings \r\ncould not be removed from the Windows "
            "Registry.  \r\n\r\n"
            " Error Key   = \\Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\n"
            " Error Item  = norvanel.exe\r\n\r\n"
            "Please contact the program's author."));
}

TEST_F(RunEntryTest, FailuresOfTheCallsThemselvesAreErrors) {
    registry.failSet = true;
    EXPECT_THROW(
        try { entry.Add(); } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Failed to set data for 'norvanel.exe'");
            throw;
        },
        std::runtime_error);
    Store("1234", 4);  // REG_DWORD
    try {
        entry.Verify();
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'norvanel.exe'");
    }
    Store(kPath);
    registry.failRead = true;
    try {
        entry.Verify();
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Failed to get data for 'norvanel.exe'");
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RunEntryTest, CaseDoesNotMatterButAnotherPlaceDoes) {
    Store("c:\\TOOLS\\NorvaneL.EXE");
    EXPECT_TRUE(entry.Verify());
    EXPECT_TRUE(messages.shown.empty());

    Store("D:\\Old\\norvanel.exe");
    messages.answers = {MessageAnswer::No};
    EXPECT_TRUE(entry.Verify());
    EXPECT_EQ(registry.Text("norvanel.exe"), std::string("D:\\Old\\norvanel.exe") + '\0');
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(
        messages.shown[0].text,
        "The directory / path settings required to make this program (norvanel.exe)\r\n"
        "run automatically at Windows Start-up do not match where the program \r\n"
        "is currently being run from.\r\n\r\n"
        " Old      = D:\\Old\\norvanel.exe\r\n"
        " Current = C:\\Tools\\norvanel.exe\r\n\r\n"
        "Do you want to update the Windows Registry to reflect the programs current locaton ?");

    messages.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(entry.Verify());
    EXPECT_EQ(registry.Text("norvanel.exe"), std::string(kPath) + '\0');
    EXPECT_THAT(messages.shown.back().text, HasSubstr("will now run automatically"));
}

TEST(RunEntryData, PathsWithBlanksAreQuoted) {
    EXPECT_EQ(RunEntryData("C:\\Tools\\norvanel.exe"), "C:\\Tools\\norvanel.exe");
    EXPECT_EQ(RunEntryData("C:\\Program Files\\Norvane\\norvanel.exe"),
              "\"C:\\Program Files\\Norvane\\norvanel.exe\"");
    FakeRegistry registry;
    RecordingMessages messages;
    RunEntry entry(registry, messages, "C:\\My Tools\\n.exe");
    EXPECT_TRUE(entry.Add());
    EXPECT_EQ(registry.Text("n.exe"), std::string("\"C:\\My Tools\\n.exe\"") + '\0');
    EXPECT_TRUE(entry.Verify());  // quoted counts as current
    registry.values[{FakeRegistry::kRun, "n.exe"}] = {kRegSz,
                                                      std::string("C:\\My Tools\\n.exe") + '\0'};
    EXPECT_TRUE(entry.Verify());  // and so does the unquoted form
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(RunEntryData, TextStopsAtTheFirstZeroAndEmptyMeansNoEntry) {
    FakeRegistry registry;
    registry.values[{FakeRegistry::kRun, "a.exe"}] = {kRegExpandSz,
                                                      std::string("C:\\a.exe\0junk", 13)};
    EXPECT_EQ(
        ReadRegistryText(registry, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "a.exe"),
        "C:\\a.exe");
    registry.values[{FakeRegistry::kRun, "a.exe"}] = {4, ""};  // empty: no type check
    EXPECT_EQ(
        ReadRegistryText(registry, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "a.exe"),
        "");
    registry.values[{FakeRegistry::kRun, "a.exe"}] = {kRegSz, "no zero"};
    EXPECT_EQ(
        ReadRegistryText(registry, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "a.exe"),
        "no zero");
}

}  // namespace
}  // namespace norvane
