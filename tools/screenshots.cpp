// Takes the pictures of the documents (docs/images): norvanel.exe started as
// a user starts it, known data placed on the clipboard by clipboard_helper,
// each window opened with clicks and menus. For each picture the program
// writes NAME.rect ("left top width height" of the windows on the screen)
// into the folder NORVANE_SHOTS and waits for NAME.done: scripts/screenshots
// grabs the screen meanwhile. Not a test: run by scripts/screenshots only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "e2e/driver.h"
#include "win32/screen_dpi.h"

namespace e2e {
namespace {

std::string ShotsFolder() {
    const char* folder = std::getenv("NORVANE_SHOTS");
    if (!folder) throw std::runtime_error("NORVANE_SHOTS is not set");
    return WindowsPath(folder) + "\\";
}

// Hands the screen to the script for the picture NAME of these windows
// (their outer rectangles together, title bars included).
void Shoot(const Norvane& program, const std::string& name, std::initializer_list<HWND> windows) {
    // The pointer off the windows, so that no hint or hot button shows.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    program.Sync();
    Sleep(700);  // a hint that was up goes, the last paints land
    RECT all = WindowRectOf(*windows.begin());
    for (HWND window : windows) {
        ASSERT_TRUE(window && IsWindowVisible(window)) << name;
        const RECT r = WindowRectOf(window);
        UnionRect(&all, &all, &r);
    }
    const std::string base = ShotsFolder() + name;
    DeleteFileA((base + ".done").c_str());
    WriteFile(base + ".rect", std::to_string(all.left) + " " + std::to_string(all.top) + " " +
                                  std::to_string(all.right - all.left) + " " +
                                  std::to_string(all.bottom - all.top) + "\n");
    EXPECT_TRUE(WaitUntil([&] { return FileExists(base + ".done"); }, 30s))
        << "no picture taken of " << name;
}

// The centre of line `index` of a list box scrolled to its top.
POINT LineCentre(HWND list, int index) {
    const auto height = static_cast<LONG>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    return {ClientRectOf(list).right / 3, index * height + height / 2};
}

// The index of the first line that starts with `start`, or -1.
int LineStarting(HWND list, const std::string& start) {
    const auto lines = ListBoxLines(list);
    const auto found = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.starts_with(start);
    });
    return found == lines.end() ? -1 : static_cast<int>(found - lines.begin());
}

// The format list opened from the main window, and its list box.
std::pair<HWND, HWND> OpenFormatList(const Norvane& program) {
    program.Click(program.Control("List Clipboard Format"));
    HWND dialog = program.WaitForWindow("TClipboard_Formats_Form", 15s);
    if (!dialog) throw std::runtime_error("the format list did not open");
    program.Sync();
    return {dialog, ChildOfClass(dialog, "ListBox", true)};
}

// A right click on line `index`: its line menu.
HWND OpenLineMenu(const Norvane& program, HWND list, int index) {
    program.ClickAt(list, LineCentre(list, index));
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) input.type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, inputs, sizeof(INPUT));
    HWND menu = program.WaitForWindow("#32768", 10s);
    if (!menu) throw std::runtime_error("the line menu did not open");
    return menu;
}

TEST(Screenshots, MainWindow) {
    ClipboardHelper owner(ClipboardHelper::Mode::Text, "Hello from the clipboard");
    Norvane program(FreshScratchFolder());
    Shoot(program, "main-window", {program.Main()});
}

TEST(Screenshots, Viewer) {
    ClipboardHelper owner(ClipboardHelper::Mode::Text,
                          "Norvane shows the text on the clipboard as it is.");
    Norvane program(FreshScratchFolder());
    program.Click(program.Control("Display Clipboard Data"));
    HWND viewer = program.WaitForWindow("TClipboard_Viewer_Form", 15s);
    ASSERT_NE(viewer, nullptr);
    Shoot(program, "viewer-text", {viewer});
}

TEST(Screenshots, FormatListWithItsLineMenu) {
    HelperProcess owner("documents", "Norvane");
    Norvane program(FreshScratchFolder());
    const auto [dialog, list] = OpenFormatList(program);
    ASSERT_NE(list, nullptr);
    const int line = std::max(0, LineStarting(list, "HTML Format"));
    HWND menu = OpenLineMenu(program, list, line);
    Shoot(program, "format-list-menu", {dialog, menu});
    program.PressKey(VK_ESCAPE);
}

// Double-clicks the first line that starts with `start`; the inspector.
HWND Inspect(const Norvane& program, HWND list, const std::string& start) {
    const int line = LineStarting(list, start);
    if (line < 0) throw std::runtime_error("no line " + start);
    program.DoubleClickAt(list, LineCentre(list, line));
    HWND inspector = program.WaitForWindow("TFormat_Inspector_Form", 15s);
    if (!inspector) throw std::runtime_error("the inspector did not open");
    program.Sync();
    // The format is read on a thread of the inspector's own.
    WaitUntil([&] { return !HasChildWithText(inspector, "Reading the format"); }, 15s);
    return inspector;
}

// On a screen of 144 pixels per inch (150%), as the program scales its
// windows to it.
TEST(Screenshots, AboutAt144Dpi) {
    const norvane::testing::ScreenDpiForNewProcesses dpi(144);
    Norvane program(FreshScratchFolder());
    program.ChooseMenu('h', 'a');
    HWND about = program.WaitForWindow("TAboutBox");
    ASSERT_NE(about, nullptr);
    Shoot(program, "about-144dpi", {about});
    program.PressKey(VK_ESCAPE);
}

TEST(Screenshots, InspectorPreviewsAPicture) {
    HelperProcess owner("pictures", "Norvane");
    Norvane program(FreshScratchFolder());
    const auto [dialog, list] = OpenFormatList(program);
    HWND inspector = Inspect(program, list, "PNG");
    // A page to the right, as a click in the scroll bar's trough makes: the
    // picture's opaque red half and its half-transparent blue half both show.
    // The preview is shown once the picture is decoded, and its header says
    // so; a header worded otherwise costs a wait, not the picture.
    HWND picture = nullptr;
    WaitUntil(
        [&] {
            picture = ChildOfClass(inspector, "TPictureView", true);
            return picture != nullptr;
        },
        15s);
    ASSERT_NE(picture, nullptr);
    WaitUntil([&] { return HasChildWithText(inspector, "Picture (PNG)"); }, 10s);
    program.Sync();
    const RECT client = ClientRectOf(picture);
    program.ClickAt(picture,
                    {client.right * 4 / 5, client.bottom + GetSystemMetrics(SM_CYHSCROLL) / 2});
    Shoot(program, "inspector-picture", {inspector});
}

TEST(Screenshots, InspectorShowsAFileList) {
    HelperProcess owner("documents", "Norvane");
    Norvane program(FreshScratchFolder());
    const auto [dialog, list] = OpenFormatList(program);
    HWND inspector = Inspect(program, list, "CF_HDROP");
    Shoot(program, "inspector-file-list", {inspector});
}

TEST(Screenshots, JournalWithAFewEntries) {
    Norvane program(FreshScratchFolder());
    {
        // Three copies, then another program's data within the second, a
        // hold of the clipboard, and the clipboard erased.
        HelperProcess copies("changes", "3 400");
        Sleep(1500);
        HelperProcess documents("documents", "Norvane");
        Sleep(300);
        ClipboardHelper holder(ClipboardHelper::Mode::Hold, "held");
        Sleep(1200);
        holder.Release();
    }
    program.Click(program.Control("Erase Clipboard"));
    if (const auto box = program.WaitForMessageBox(10s)) program.Answer(*box, "OK");
    ClipboardHelper last(ClipboardHelper::Mode::Text, "the last copy");
    Sleep(300);
    const auto [dialog, list] = OpenFormatList(program);
    HWND menu = OpenLineMenu(program, list, 0);
    ASSERT_NE(menu, nullptr);
    program.PressKey('J');
    HWND journal = program.WaitForWindow("TClipboard_Journal_Form", 15s);
    ASSERT_NE(journal, nullptr);
    program.Click(program.Control("Close", dialog));
    WaitUntil([&] { return !IsWindowVisible(dialog); });
    // In front of the main window, which the list's close activated.
    SetForegroundWindow(journal);
    WaitUntil([&] { return GetForegroundWindow() == journal; });
    Shoot(program, "journal", {journal});
}

}  // namespace
}  // namespace e2e
