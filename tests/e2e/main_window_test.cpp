// The main window as a user first meets it, and the ways to close it.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "e2e/driver.h"

namespace e2e {
namespace {

// The file names of the modules loaded in a process, in small letters.
std::set<std::string> ModulesOf(DWORD process) {
    std::set<std::string> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    if (snapshot == INVALID_HANDLE_VALUE) return names;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot, &module); more;
         more = Module32Next(snapshot, &module)) {
        std::string name = module.szModule;
        std::ranges::transform(name, name.begin(), [](unsigned char c) { return std::tolower(c); });
        names.insert(name);
    }
    CloseHandle(snapshot);
    return names;
}

// The save dialog's and the shell's libraries (and what they bring along)
// are loaded by the commands that need them, not at start-up. (COM's is
// put off too, but Wine's input method support loads it as the window is
// first activated.)
TEST(MainWindow, StartsWithoutTheLibrariesOnlyCommandsNeed) {
    Norvane program(FreshScratchFolder());
    const std::set<std::string> modules = ModulesOf(program.Id());
    ASSERT_TRUE(modules.contains("user32.dll")) << "the module list was not read";
    for (const char* deferred : {"comdlg32.dll", "shell32.dll"})
        EXPECT_FALSE(modules.contains(deferred)) << deferred;
}

TEST(MainWindow, FirstStartShowsTheDesignedWindow) {
    Norvane program(FreshScratchFolder());
    HWND main = program.Main();
    EXPECT_EQ(WindowText(main), "Norvane v1.1b");
    const RECT r = WindowRectOf(main);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 200);
    EXPECT_EQ(r.right - r.left, 250);
    EXPECT_EQ(r.bottom - r.top, 183);
    for (const char* caption :
         {"Erase Clipboard", "Display Clipboard Data", "List Clipboard Format"}) {
        HWND button = program.Control(caption);
        ASSERT_NE(button, nullptr) << caption;
        EXPECT_TRUE(IsWindowVisible(button)) << caption;
    }
    // The layout snapshot was taken from the client area sized from the buttons.
    HWND snapshot = ChildOfClass(main, "ListBox");
    ASSERT_NE(snapshot, nullptr);
    EXPECT_FALSE(IsWindowVisible(snapshot));
    EXPECT_EQ(ListBoxLine(snapshot, 0), "198 103 W/H Mainform1");
    EXPECT_EQ(ListBoxLine(snapshot, 1), "3 191 2 32 11 Erase_Clipboard_BitBtn");
    EXPECT_EQ(ListBoxLine(snapshot, 3), "3 192 69 32 11 List_Clipboard_Format_BitBtn");
    EXPECT_EQ(ListBoxLine(snapshot, 4), "197 25 2 29 11 Scaling_ListBox");
    EXPECT_EQ(ListBoxLine(snapshot, 5), "0");
    EXPECT_EQ(ListBoxCount(snapshot), 1 + 4 + 14);  // header, controls, menu bar and items
}

TEST(MainWindow, ShowsEvenWhenStartedHidden) {
    Norvane program(FreshScratchFolder(), SW_HIDE);
    EXPECT_TRUE(IsWindowVisible(program.Main()));
    EXPECT_FALSE(IsIconic(program.Main()));
}

TEST(MainWindow, ExitEndsTheProgramAndWritesTheSettings) {
    Norvane program(FreshScratchFolder());
    program.ChooseMenu('f', 'x');
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(10s, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(ReadFile(program.Folder() + "norvanel.ini"),
              "[norvanel]\r\n"
              "WindowState_wsMaximized=0\r\n"
              "window_top_posn=200\r\n"
              "window_left_posn=200\r\n"
              "window_Width=250\r\n"
              "window_Height=183\r\n"
              "Always_on_Top_Option=0\r\n"
              "Auto_Run_at_Windows_Startup_Option=0\r\n");
}

TEST(MainWindow, CloseButtonEndsTheProgram) {
    Norvane program(FreshScratchFolder());
    // What the caption-bar close button and the system menu's Close send.
    PostMessageA(program.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(10s, &code));
    EXPECT_EQ(code, 0u);
}

TEST(MainWindow, AltF4EndsTheProgram) {
    Norvane program(FreshScratchFolder());
    SetForegroundWindow(program.Main());
    Sleep(200);
    INPUT keys[4] = {};
    for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_MENU;
    keys[1].ki.wVk = VK_F4;
    keys[2].ki.wVk = VK_F4;
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_MENU;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    ASSERT_TRUE(program.WaitForExit(10s));
    EXPECT_TRUE(FileExists(program.Folder() + "norvanel.ini"));
}

}  // namespace
}  // namespace e2e
