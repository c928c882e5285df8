// The Help menu's documents, opened in Wine's Notepad.
#include <gtest/gtest.h>

#include "e2e/driver.h"

namespace e2e {
namespace {

struct Documents : FreshStart {};

TEST_F(Documents, ReadmeOpensInNotepad) {
    WriteFile(folder + "norvanel.txt", "Norvane readme\r\n");
    Norvane program(folder);
    program.ChooseMenu('h', 'v');
    HWND notepad = WaitForTopWindow("Notepad", "norvanel");
    ASSERT_NE(notepad, nullptr) << "no Notepad window with the readme";
    PostMessageA(notepad, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.NoMessageBoxWithin(200ms));
}

TEST_F(Documents, CatalogOpensOrIsExplained) {
    Norvane program(folder);
    program.ChooseMenu('h', 's');
    ASSERT_TRUE(program.ExpectBox(
        "Information",
        "Varnok's Shareware Catalog is not in the same directory as Norvane v1.1b.  The required "
        "file 'catalog.txt' was included in the distribution ZIP file.  Please unzip this file and "
        "try again."));

    WriteFile(folder + "catalog.txt", "Catalog\r\n");
    program.ChooseMenu('h', 's');
    HWND notepad = WaitForTopWindow("Notepad", "catalog");
    ASSERT_NE(notepad, nullptr);
    PostMessageA(notepad, WM_CLOSE, 0, 0);
}

TEST_F(Documents, NotepadMissingFromTheWindowsFolder) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string notepad = std::string(windows) + "\\notepad.exe", aside = notepad + ".aside";
    ASSERT_TRUE(MoveFileA(notepad.c_str(), aside.c_str()));
    struct PutBack {
        std::string from, to;
        ~PutBack() { MoveFileA(from.c_str(), to.c_str()); }
    } putBack{aside, notepad};

    Norvane program(folder);
    program.ChooseMenu('h', 'v');
    ASSERT_TRUE(program.ExpectBox("Information", "Windows Notepad could not be found."));
}

TEST_F(Documents, PlantedNotepadBesideTheProgramIsNotStarted) {
    // A "Notepad.exe" in the program's folder would come first in a search.
    const char* helper = std::getenv("NORVANE_HELPER");
    ASSERT_NE(helper, nullptr);
    ASSERT_TRUE(CopyFileA(WindowsPath(helper).c_str(), (folder + "Notepad.exe").c_str(), FALSE));
    WriteFile(folder + "norvanel.txt", "readme\r\n");
    Norvane program(folder);
    program.ChooseMenu('h', 'v');
    HWND notepad = WaitForTopWindow("Notepad", "norvanel");
    ASSERT_NE(notepad, nullptr) << "the Windows folder's Notepad was not started";
    PostMessageA(notepad, WM_CLOSE, 0, 0);
}

}  // namespace
}  // namespace e2e
