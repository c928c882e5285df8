// The format inspector through norvanel.exe: a double-click on a line of
// the format list, the inspector read, the format saved, and the list as it was.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/driver.h"
#include "inspector/hex_dump.h"

namespace e2e {
namespace {

HWND ChildOfClass(HWND parent, std::string_view className) {
    for (HWND child : ChildrenOf(parent))
        if (_stricmp(ClassName(child).c_str(), std::string(className).c_str()) == 0 &&
            IsWindowVisible(child))
            return child;
    return nullptr;
}

// The format list opened over the helper's formats, its lines as they were.
struct Inspector : ::testing::Test {
    ClipboardHelper owner{ClipboardHelper::Mode::Inspect, "Known text"};
    Norvane program{FreshScratchFolder()};
    HWND dialog = nullptr, list = nullptr;
    std::vector<std::string> before;

    void SetUp() override {
        program.Click(program.Control("List Clipboard Format"));
        dialog = program.WaitForWindow("TClipboard_Formats_Form", 10s);
        ASSERT_NE(dialog, nullptr);
        program.Sync();
        list = ChildOfClass(dialog, "ListBox");
        before = ListBoxLines(list);
    }
    // The index of `line` in the list, -1 when it has none.
    int IndexOf(const std::string& line) const {
        const auto found = std::find(before.begin(), before.end(), line);
        return found == before.end() ? -1 : static_cast<int>(found - before.begin());
    }
    // The centre of line `index` of the list, scrolled to its top.
    POINT LineCentre(int index) const {
        const auto height = static_cast<LONG>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        return {ClientRectOf(list).right / 2, index * height + height / 2};
    }
    // Line `index` double-clicked: the inspector that opens on it, once it
    // has read the format (on a thread of its own).
    HWND Inspect(int index) const {
        program.DoubleClickAt(list, LineCentre(index));
        HWND inspector = program.WaitForWindow("TFormat_Inspector_Form", 10s);
        program.Sync();
        EXPECT_TRUE(
            WaitUntil([&] { return !HasChildWithText(inspector, "Reading the format"); }, 10s));
        return inspector;
    }
};

TEST_F(Inspector, DoubleClickedLineInspectedSavedAndTheListAsItWas) {
    const std::string line =
        "Norvane Bytes [" + std::to_string(RegisterClipboardFormatA("Norvane Bytes")) + "]";
    const int index = IndexOf(line);
    ASSERT_GE(index, 0);

    HWND inspector = Inspect(index);
    ASSERT_NE(inspector, nullptr);
    EXPECT_EQ(WindowText(inspector), line);
    EXPECT_FALSE(IsWindowEnabled(dialog));
    EXPECT_NE(
        program.Control("Format " + std::to_string(RegisterClipboardFormatA("Norvane Bytes")) +
                            ": a memory block, 300 bytes\r\nOwner: A NorvaneTestOwner "
                            "Class Window of clipboard_helper.exe, process id " +
                            std::to_string(owner.Id()),
                        inspector),
        nullptr);
    std::vector<std::uint8_t> known(300);
    for (std::size_t i = 0; i < known.size(); ++i) known[i] = static_cast<std::uint8_t>(i * 7 + 3);
    HWND dump = ChildOfClass(inspector, "TDumpView");
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(dump).empty(); }));
    EXPECT_EQ(WindowText(dump).substr(0, 2 * 78),
              norvane::DumpLine(known, 0) + "\r\n" + norvane::DumpLine(known, 1) + "\r\n");

    program.Click(program.Control("Save As...", inspector));
    HWND save = WaitForTopWindow("#32770", "Save", 10s);
    ASSERT_NE(save, nullptr);
    const std::string path = program.Folder() + "saved bytes.bin";
    HWND name = ChildOfClass(save, "Edit");
    ASSERT_NE(name, nullptr);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    program.Click(program.Control("&Save", save));
    const std::string saved(known.begin(), known.end());
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(path) == saved; }));

    program.Click(program.Control("Close", inspector));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(inspector); }));
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_EQ(ListBoxLines(list), before);
    EXPECT_EQ(WindowText(dialog), "Clipboard Data Formats :");

    // The line's menu from the keyboard: "Inspect..." opens the same line.
    program.ClickAt(list, LineCentre(index));
    program.Sync();
    PressTogether({VK_SHIFT, VK_F10});
    program.Sync();
    program.PressKey('I');
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(inspector) != FALSE; }));
    EXPECT_EQ(WindowText(inspector), line);
    program.Click(program.Control("Close", inspector));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(inspector); }));
    EXPECT_EQ(ListBoxLines(list), before);

    // "Save As..." on the same menu: the save dialog, cancelled.
    program.ClickAt(list, LineCentre(index));
    program.Sync();
    PressTogether({VK_SHIFT, VK_F10});
    program.Sync();
    program.PressKey('S');
    HWND cancelled = WaitForTopWindow("#32770", "Save", 10s);
    ASSERT_NE(cancelled, nullptr);
    program.Click(program.Control("Cancel", cancelled));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(cancelled); }));
    EXPECT_EQ(ListBoxLines(list), before);
    program.Click(program.Control("Close", dialog));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }));
}

TEST_F(Inspector, TextReadFromItsViewAndCtrlCCopiesNothing) {
    const int index = IndexOf("CF_UNICODETEXT (Predefined) [13]");
    ASSERT_GE(index, 0);
    HWND inspector = Inspect(index);
    ASSERT_NE(inspector, nullptr);
    HWND view = ChildOfClass(inspector, "TTextView");
    ASSERT_NE(view, nullptr);
    // The helper's UTF-16 text, in the system's code page (1252).
    EXPECT_EQ(WindowText(view), "Known text \xE9t\xE9");

    // The view takes the focus from a click; Ctrl+C there puts nothing on the clipboard.
    const DWORD sequence = GetClipboardSequenceNumber();
    program.ClickAt(view, {10, 10});
    program.Sync();
    PressTogether({VK_CONTROL, 'C'});
    program.Sync();
    EXPECT_EQ(GetClipboardSequenceNumber(), sequence);
    program.Click(program.Control("Close", inspector));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(inspector); }));
}

// The same list over a word processor's copy, with its RTF.
struct InspectorOfDocuments : Inspector {
    HelperProcess documents{"documents", "copied"};
};

// The RTF's formatted box, which a thread of the inspector's own fills and
// answers for: a click gives it the focus, and Ctrl+C there puts nothing on
// the clipboard.
TEST_F(InspectorOfDocuments, RtfFormattedOnAThreadOfItsOwnCopiesNothing) {
    const int index = IndexOf("Rich Text Format [" +
                              std::to_string(RegisterClipboardFormatA("Rich Text Format")) + "]");
    ASSERT_GE(index, 0);
    HWND inspector = Inspect(index);
    ASSERT_NE(inspector, nullptr);
    HWND box = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (box = ChildOfClass(inspector, "RichEdit20A")) != nullptr; }));
    const DWORD sequence = GetClipboardSequenceNumber();
    program.ClickAt(box, {10, 10});
    // The box's thread takes the click in its own time.
    EXPECT_TRUE(WaitUntil([&] {
        GUITHREADINFO focus{};
        focus.cbSize = sizeof focus;
        return GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &focus) &&
               focus.hwndFocus == box;
    }));
    PressTogether({VK_CONTROL, 'A'});
    PressTogether({VK_CONTROL, 'C'});
    PressTogether({VK_CONTROL, VK_INSERT});
    EXPECT_FALSE(WaitUntil([&] { return GetClipboardSequenceNumber() != sequence; }, 1s));
    program.Click(program.Control("Close", inspector));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(inspector); }));
}

// The same list over Explorer's cut of files, with files that lie in no folder.
struct InspectorOfShellFiles : Inspector {
    HelperProcess files{"shellfiles", "cut"};
};

TEST_F(InspectorOfShellFiles, ACutSaysMoveAndVirtualFilesAreNamed) {
    const struct {
        const char* format;
        const char* says;  // in the header
    } cases[] = {
        {"Preferred DropEffect",
         "Preferred drop effect: 2: move: the files were cut, and a paste moves them"},
        {"FileGroupDescriptorW",
         "Virtual files: 2 files: report.pdf, 104,857 bytes, changed 2026-12-01 10:15; "
         "photo.jpg\r\n"},
    };
    for (const auto& c : cases) {
        const int index = IndexOf(std::string(c.format) + " [" +
                                  std::to_string(RegisterClipboardFormatA(c.format)) + "]");
        ASSERT_GE(index, 0) << c.format;
        HWND inspector = Inspect(index);
        ASSERT_NE(inspector, nullptr);
        EXPECT_TRUE(HasChildWithText(inspector, c.says)) << c.format;
        program.Click(program.Control("Close", inspector));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(inspector); }));
    }
}

}  // namespace
}  // namespace e2e
