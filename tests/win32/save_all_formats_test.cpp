// "Save All Formats..." over the real clipboard, whose data clipboard_helper
// owns in another process: each file as Save As writes it, the index, a
// format never rendered, a save stopped, a folder that cannot be written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

#include "clipboard/standard_formats.h"
#include "clipboard/win32_clipboard_service.h"
#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"
#include "inspector/win32_format_reader.h"
#include "inspector/win32_save_all_formats.h"
#include "inspector/win32_save_format.h"
#include "win32/message_pump.h"
#include "win32/second_process.h"

namespace norvane {
namespace {

using testing::ClipboardHelper;
using ::testing::ElementsAre;
using testing::FakeClipboard;
using ::testing::IsSupersetOf;
using testing::RecordingMessages;
using ::testing::StartsWith;
using Bytes = std::vector<std::uint8_t>;

constexpr LocalTime kTime{2026, 12, 8, 17, 5, 3};
constexpr char kFolderName[] = "Clipboard 2026-12-08 17-05-03";

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(separator, at), text.size());
        parts.push_back(text.substr(at, end - at));
        at = end + separator.size();
    }
    return parts;
}

// The index's lines, each split into its columns (the column names first).
std::vector<std::vector<std::string>> IndexOf(const std::string& folder) {
    std::vector<std::vector<std::string>> lines;
    for (const std::string& line : Split(FileText(folder + "\\index.txt"), "\r\n"))
        lines.push_back(Split(line + "\t", "\t"));
    return lines;
}

std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
            names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void RemoveTree(const std::string& folder) {
    for (const std::string& name : NamesIn(folder)) {
        const std::string path = folder + "\\" + name;
        if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(path);
        else
            DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

std::vector<unsigned> ClipboardFormats() {
    std::vector<unsigned> formats;
    if (!OpenClipboard(nullptr)) return formats;
    for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f))
        formats.push_back(f);
    CloseClipboard();
    return formats;
}

bool IsFileName(const std::string& fate) {
    return !fate.starts_with("not ");
}

// Each test saves into a folder of its own, removed after it; the clock
// stands still.
struct SaveAllTest : ::testing::Test {
    RecordingMessages messages;
    Win32ClipboardService system;
    ClipboardService* clipboard = &system;
    const std::string parent = [] {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        return std::string(temp) + "norvane-save-all-" + std::to_string(GetCurrentProcessId()) +
               "-" + test->name();
    }();
    int foldersAsked = 0;
    SaveAllSettings settings{[this](HWND) {
                                 ++foldersAsked;
                                 return std::optional(parent);
                             },
                             [] { return kTime; }};

    SaveAllTest() { CreateDirectoryA(parent.c_str(), nullptr); }
    ~SaveAllTest() override { RemoveTree(parent); }
    std::optional<std::string> Save() {
        return SaveAllFormats(*clipboard, messages, nullptr, settings);
    }
};

// The inspector's data: text, known bytes, a bitmap, an enhanced metafile,
// what the system makes of them, and a format whose owner never renders it.
struct SaveAllOfTheInspectedData : SaveAllTest {
    static void SetUpTestSuite() { helper = new ClipboardHelper("inspect", "Known text"); }
    static void TearDownTestSuite() { delete helper; }
    static inline ClipboardHelper* helper = nullptr;

    static std::string Owner() {
        return "A NorvaneTestOwner Class Window of clipboard_helper.exe, process id " +
               std::to_string(helper->Id());
    }
};

TEST_F(SaveAllOfTheInspectedData, EachFormatAsSaveAsWritesItWithALineOfTheIndex) {
    const auto folder = Save();
    ASSERT_EQ(folder, parent + "\\" + kFolderName);
    const auto index = IndexOf(*folder);
    const std::vector<unsigned> formats = ClipboardFormats();
    ASSERT_EQ(index.size(), formats.size() + 1);
    EXPECT_THAT(index[0], ElementsAre("Number", "Name", "Kind", "Bytes", "Owner", "File"));
    std::set<std::string> written{"index.txt"};
    for (std::size_t i = 0; i < formats.size(); ++i) {
        const auto& line = index[i + 1];
        ASSERT_EQ(line.size(), 6u);
        EXPECT_EQ(line[0], std::to_string(formats[i]));
        EXPECT_EQ(line[4], Owner());
        // What Save As writes of the format, read now.
        const FormatReading reading = ReadFormat(system, formats[i], nullptr);
        if (reading.outcome != ReadOutcome::Read) {
            EXPECT_EQ(line[5], "not read: " + NotReadReason(reading));
            continue;
        }
        const std::string saveAs = parent + "\\save-as";
        DeleteFileA(saveAs.c_str());
        if (const auto failure = WriteFormatFile(saveAs, formats[i], reading.data)) {
            EXPECT_EQ(line[5], "not written: " + *failure);
            continue;
        }
        ASSERT_TRUE(IsFileName(line[5])) << line[5];
        EXPECT_EQ(FileText(*folder + "\\" + line[5]), FileText(saveAs)) << line[5];
        EXPECT_EQ(line[3], std::to_string(reading.data.bytes.size())) << line[5];
        written.insert(line[5]);
    }
    EXPECT_EQ(NamesIn(*folder), written);  // nothing half-written left beside them
    const unsigned bytes = RegisterClipboardFormatA("Norvane Bytes");
    const unsigned delayed = RegisterClipboardFormatA("Norvane Delayed");
    EXPECT_THAT(written,
                IsSupersetOf<std::vector<std::string>>(
                    {"00001 CF_TEXT.txt", "00013 CF_UNICODETEXT.txt", "00002 CF_BITMAP.bmp",
                     "00014 CF_ENHMETAFILE.emf", std::to_string(bytes) + " Norvane Bytes.bin"}));
    EXPECT_THAT(index, ::testing::Contains(ElementsAre(std::to_string(delayed), "Norvane Delayed",
                                                       "a memory block", "", Owner(),
                                                       "not read: its owner did not render it")));
    EXPECT_THAT(messages.Texts(),
                ElementsAre("Saved " + std::to_string(written.size() - 1) + " of the " +
                            std::to_string(formats.size()) + " formats in \"" + *folder +
                            "\": index.txt says why the others were not."));
}

// Asks the progress window to stop as it first shows, by Esc, and keeps
// what it said then.
class EscapeAtProgress {
  public:
    EscapeAtProgress() { hook_ = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId()); }
    ~EscapeAtProgress() { UnhookWindowsHookEx(hook_); }
    static inline std::string said;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto window = reinterpret_cast<HWND>(wParam);
        char className[64] = {};
        if (code == HCBT_ACTIVATE && GetClassNameA(window, className, sizeof className) &&
            std::string(className) == "TSave_All_Progress_Form") {
            char text[128] = {};
            GetWindowTextA(FindWindowExA(window, nullptr, "Static", nullptr), text, sizeof text);
            said = text;
            PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

TEST_F(SaveAllOfTheInspectedData, StoppedAfterTheFileBeingWrittenWithTheRestListed) {
    settings.progressAfterMs = 0;
    const std::vector<unsigned> formats = ClipboardFormats();
    std::optional<std::string> folder;
    {
        const EscapeAtProgress escape;
        folder = Save();
    }
    ASSERT_TRUE(folder);
    EXPECT_EQ(EscapeAtProgress::said,
              "Saving 1 of " + std::to_string(formats.size()) + " formats...");
    const auto index = IndexOf(*folder);
    ASSERT_EQ(index.size(), formats.size() + 1);
    // The first format was written (or not read); no other was.
    const std::string& first = index[1][5];
    const std::size_t saved = IsFileName(first) ? 1 : 0;
    for (std::size_t i = 2; i < index.size(); ++i) {
        if (!index[i][5].starts_with("not read: ")) {
            EXPECT_EQ(index[i][5], "not written: saving was stopped") << index[i][1];
        }
    }
    EXPECT_EQ(NamesIn(*folder).size(), saved + 1);
    EXPECT_THAT(messages.Texts(),
                ElementsAre("Saving was stopped: " + std::to_string(saved) + " of the " +
                            std::to_string(formats.size()) + " formats were saved in \"" + *folder +
                            "\", and index.txt lists those that were not."));
}

// A folder nothing can be written in, made so on the Unix side for the
// test's time: no write permission, and immutable as well for root, who
// writes anywhere else. It lies outside the prefix, whose removal it would
// block if it were left so.
class UnwritableFolder {
  public:
    const std::string unixPath = "/tmp/norvane-unwritable-" + std::to_string(GetCurrentProcessId());
    const std::string path = [this] {
        std::string windows = "Z:" + unixPath;
        std::replace(windows.begin(), windows.end(), '/', '\\');
        return windows;
    }();

    UnwritableFolder() {
        CreateDirectoryA(path.c_str(), nullptr);
        RunToEnd("chmod a-w " + unixPath + "; chattr +i " + unixPath + " 2>/dev/null");
    }
    ~UnwritableFolder() {
        RunToEnd("chattr -i " + unixPath + " 2>/dev/null; chmod u+w " + unixPath);
        RemoveTree(path);
    }
    bool Unwritable() const {
        const std::string probe = path + "\\probe";
        const bool made = CreateDirectoryA(probe.c_str(), nullptr);
        RemoveDirectoryA(probe.c_str());
        return !made;
    }

  private:
    // Wine starts a Unix program and returns at once: the script's last step
    // makes a file beside the folder, which is waited for.
    void RunToEnd(const std::string& script) const {
        const std::string done = path + ".done";
        std::string command = "/bin/sh -c \"" + script + "; touch " + unixPath + ".done\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessA("/bin/sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        for (int tried = 0;
             tried < 400 && GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++tried)
            Sleep(25);
        DeleteFileA(done.c_str());
    }
};

TEST_F(SaveAllOfTheInspectedData, AFolderThatCannotBeWrittenSavesNothingAndSaysSo) {
    const UnwritableFolder locked;
    ASSERT_TRUE(locked.Unwritable());
    settings.pickFolder = [&](HWND) { return std::optional(locked.path); };
    EXPECT_EQ(Save(), std::nullopt);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
    const std::string made = "Nothing was saved: the folder \"" + locked.path + "\\" + kFolderName +
                             "\" could not be made: ";
    EXPECT_THAT(messages.shown[0].text, StartsWith(made));
    EXPECT_GT(messages.shown[0].text.size(), made.size());  // the system's reason
    EXPECT_TRUE(NamesIn(locked.path).empty());
}

TEST_F(SaveAllTest, AFormatThatCannotBeSavedIsALineOfItsOwnAndTheClipboardClosedFirst) {
    FakeClipboard fake;
    fake.formats = {{1, ""}, {8, ""}, {49301, "Name:with/bad*chars?"}};
    fake.data[1] = FormatData{DataKind::MemoryBlock, Bytes{'H', 'i', 0}};
    fake.data[8] = FormatData{DataKind::MemoryBlock, Bytes{40, 0, 0}};  // a DIB cut short
    fake.data[49301] = FormatData{DataKind::MemoryBlock, Bytes{1, 2, 3, 4}};
    clipboard = &fake;
    settings.pickFolder = [&](HWND) {
        EXPECT_FALSE(fake.isOpen);
        return std::optional(parent);
    };
    const auto folder = Save();
    ASSERT_TRUE(folder);
    const auto index = IndexOf(*folder);
    ASSERT_EQ(index.size(), 4u);
    EXPECT_EQ(index[1][5], "00001 CF_TEXT.txt");
    EXPECT_THAT(index[2][5], StartsWith("not written: The bitmap cannot be saved as a .bmp file."));
    EXPECT_EQ(index[3][5], "49301 Name_with_bad_chars_.bin");
    EXPECT_EQ(FileText(*folder + "\\00001 CF_TEXT.txt"), std::string("Hi\0", 3));
    EXPECT_EQ(FileText(*folder + "\\49301 Name_with_bad_chars_.bin"), "\x01\x02\x03\x04");
    EXPECT_THAT(messages.Texts(), ElementsAre("Saved 2 of the 3 formats in \"" + *folder +
                                              "\": index.txt says why the others were not."));
}

TEST_F(SaveAllTest, ASecondSaveInTheSameSecondGetsAFolderOfItsOwn) {
    FakeClipboard fake;
    fake.formats = {{1, ""}};
    fake.data[1] = FormatData{DataKind::MemoryBlock, Bytes{'H', 'i', 0}};
    clipboard = &fake;
    ASSERT_EQ(Save(), parent + "\\" + kFolderName);
    EXPECT_EQ(Save(), parent + "\\" + kFolderName + " (2)");
    EXPECT_EQ(messages.Texts().back(), "Saved 1 format in \"" + parent + "\\" + kFolderName +
                                           " (2)\", with their index in index.txt.");
}

TEST_F(SaveAllTest, AClipboardHeldOpenSavesNothingAndAsksForNoFolder) {
    const ClipboardHelper holder("hold", "held");
    EXPECT_EQ(Save(), std::nullopt);
    EXPECT_THAT(messages.Texts(), ElementsAre("Nothing was saved: " + ClipboardHeldText() + "."));
    EXPECT_EQ(foldersAsked, 0);
    EXPECT_TRUE(NamesIn(parent).empty());
}

// Save As from the list reads on its worker while the owner renders
// slowly, and Save All runs from the same list meanwhile: each opens the
// clipboard with a window of its own, so neither takes over the other's
// open, and the reading gets the text rendered.
TEST_F(SaveAllTest, WithinASaveAsReadingOfASlowOwner) {
    const ClipboardHelper owner("slowrender", "");
    const HWND list =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    std::shared_ptr<InspectedFormat> read;
    FormatReader reader(messages, system, [&](std::shared_ptr<InspectedFormat> r) { read = r; });
    reader.Start(kTextFormat, list, kNoTextView);
    testing::PumpFor(std::chrono::milliseconds(300));  // the owner is asked to render
    SaveAllFormats(system, messages, list, settings);
    ASSERT_TRUE(testing::PumpUntil([&] { return read != nullptr; }));
    EXPECT_EQ(read->reading.outcome, ReadOutcome::Read) << read->reading.failure;
    const std::string rendered = "rendered slowly";
    EXPECT_EQ(read->reading.data.bytes, Bytes(rendered.c_str(), rendered.c_str() + 16));
    DestroyWindow(list);
}
}  // namespace
}  // namespace norvane
