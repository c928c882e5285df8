// The clipboard journal through norvanel.exe: another program sets the
// clipboard, and the journal opened from the format list's line menu names
// it; the journal stays when the list closes. The main window's View menu
// opens it too.
#include <gtest/gtest.h>

#include <string>

#include "e2e/driver.h"

namespace e2e {
namespace {

TEST(Journal, OpenedFromTheFormatListNamesTheProgramThatSetTheClipboard) {
    Norvane program(FreshScratchFolder());
    ClipboardHelper owner(ClipboardHelper::Mode::Text, "journal text");
    program.Click(program.Control("List Clipboard Format"));
    HWND dialog = program.WaitForWindow("TClipboard_Formats_Form", 10s);
    ASSERT_NE(dialog, nullptr);
    program.Sync();
    HWND list = ChildOfClass(dialog, "ListBox", true);
    ASSERT_NE(list, nullptr);
    ASSERT_GT(ListBoxCount(list), 0);

    // The first line's menu from the keyboard, then its journal item.
    program.ClickAt(list, {ClientRectOf(list).right / 2, 4});
    program.Sync();
    PressTogether({VK_SHIFT, VK_F10});
    program.Sync();
    program.PressKey('J');
    HWND journal = program.WaitForWindow("TClipboard_Journal_Form", 10s);
    ASSERT_NE(journal, nullptr);
    program.Sync();
    EXPECT_EQ(WindowText(journal), "Clipboard Journal");
    HWND entries = ChildOfClass(journal, "SysListView32", true);
    ASSERT_NE(entries, nullptr);

    // The helper's change, by its program, window class and process id.
    const std::string processId = std::to_string(owner.Id());
    bool found = false;
    for (int line = 0; line < ListViewCount(entries) && !found; ++line)
        found = ListViewCell(entries, line, 2) == "clipboard_helper.exe" &&
                ListViewCell(entries, line, 3) == processId &&
                ListViewCell(entries, line, 4) == "NorvaneTestOwner" &&
                ListViewCell(entries, line, 1).starts_with("set");
    EXPECT_TRUE(found) << ListViewCount(entries)
                       << " lines, the first: " << ListViewCell(entries, 0, 1) << " | "
                       << ListViewCell(entries, 0, 2) << " | " << ListViewCell(entries, 0, 4);

    // Modeless: the list closes, the journal stays.
    program.Click(program.Control("Close", dialog));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }));
    program.Sync();
    EXPECT_TRUE(IsWindowVisible(journal));
    program.Click(program.Control("Close", journal));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(journal); }));
}

TEST(Journal, OpenedFromTheViewMenuOfTheMainWindow) {
    Norvane program(FreshScratchFolder());
    ClipboardHelper owner(ClipboardHelper::Mode::Text, "journal text");
    program.ChooseMenu('v', 'j');
    HWND journal = program.WaitForWindow("TClipboard_Journal_Form", 10s);
    ASSERT_NE(journal, nullptr);
    program.Sync();
    EXPECT_EQ(WindowText(journal), "Clipboard Journal");
    EXPECT_EQ(GetWindow(journal, GW_OWNER), program.Main());
    HWND entries = ChildOfClass(journal, "SysListView32", true);
    ASSERT_NE(entries, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ListViewCount(entries) > 0; }));
    program.PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(journal); }));
}

}  // namespace
}  // namespace e2e
