// "Save All Formats..." through norvanel.exe: chosen on a line's menu of the
// format list, its folder picked, and the folder it makes read back.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/driver.h"

namespace e2e {
namespace {

std::vector<std::string> FoldersIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

TEST(SaveAll, ChosenOnALineMenuSavesEveryFormatInAFolderOfItsOwn) {
    ClipboardHelper owner(ClipboardHelper::Mode::Inspect, "Known text");
    const int formats = ClipboardFormatCount();
    Norvane program(FreshScratchFolder());
    const std::string target = program.Folder() + "saved";
    CreateDirectoryA(target.c_str(), nullptr);
    program.Click(program.Control("List Clipboard Format"));
    HWND dialog = program.WaitForWindow("TClipboard_Formats_Form", 10s);
    ASSERT_NE(dialog, nullptr);
    program.Sync();

    // The first line's menu from the keyboard (the menu key), then the
    // folder typed into the picker.
    HWND list = ChildOfClass(dialog, "ListBox", true);
    const auto lineHeight = static_cast<LONG>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    program.ClickAt(list, {ClientRectOf(list).right / 2, lineHeight / 2});
    program.Sync();
    program.PressKey(VK_APPS);
    program.Sync();
    program.PressKey('L');
    HWND picker = WaitForTopWindow("#32770", "Save All Formats In", 15s);
    ASSERT_NE(picker, nullptr);
    HWND name = ChildOfClass(picker, "Edit", true);
    ASSERT_NE(name, nullptr);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
    program.Click(program.Control("&Open", picker));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(picker); }));

    const auto box = program.WaitForMessageBox(15s);
    ASSERT_TRUE(box);
    const auto made = FoldersIn(target + "\\");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_TRUE(made[0].starts_with("Clipboard ")) << made[0];
    const std::string folder = target + "\\" + made[0];
    EXPECT_EQ(box->title, "Warning");
    EXPECT_EQ(box->text, "Saved " + std::to_string(formats - 1) + " of the " +
                             std::to_string(formats) + " formats in \"" + folder +
                             "\": index.txt says why the others were not.");
    program.Answer(*box, "OK");

    const std::string index = ReadFile(folder + "\\index.txt");
    EXPECT_EQ(std::count(index.begin(), index.end(), '\n'), formats + 1);
    const std::string bytes = std::to_string(RegisterClipboardFormatA("Norvane Bytes"));
    std::string known(300, '\0');
    for (std::size_t i = 0; i < known.size(); ++i) known[i] = static_cast<char>(i * 7 + 3);
    EXPECT_EQ(ReadFile(folder + "\\" + bytes + " Norvane Bytes.bin"), known);
    EXPECT_NE(index.find("\r\n" + bytes +
                         "\tNorvane Bytes\ta memory block\t300\tA "
                         "NorvaneTestOwner Class Window of clipboard_helper.exe, process id " +
                         std::to_string(owner.Id()) + "\t" + bytes + " Norvane Bytes.bin\r\n"),
              std::string::npos)
        << index;
    EXPECT_NE(index.find("\tnot read: its owner did not render it\r\n"), std::string::npos);
    EXPECT_TRUE(FileExists(folder + "\\00001 CF_TEXT.txt"));
    EXPECT_TRUE(FileExists(folder + "\\00002 CF_BITMAP.bmp"));

    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }));
    program.Click(program.Control("Close", dialog));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }));
}

}  // namespace
}  // namespace e2e
