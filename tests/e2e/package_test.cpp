// The distribution ZIP as a user meets it: unpacked (by run_package_test.sh)
// into a folder whose name has blanks, it holds the program and its two
// documents, the program runs from there, and its Help menu opens those
// documents in Notepad.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "e2e/driver.h"

namespace e2e {
namespace {

const char* const kDocuments[] = {"norvanel.txt", "catalog.txt"};

std::string PackageFolder() {
    const char* folder = std::getenv("NORVANE_PACKAGE");
    if (!folder) throw std::runtime_error("NORVANE_PACKAGE is not set");
    return folder;
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The whole text of Notepad's editor, however long.
std::string NotepadText(HWND notepad) {
    HWND edit = FindWindowExA(notepad, nullptr, "Edit", nullptr);
    if (!edit) return {};
    DWORD_PTR length = 0;
    SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

struct Package : ::testing::Test {
    std::string folder = PackageFolder();
};

TEST_F(Package, HoldsTheProgramAndItsDocumentsWithWindowsLineEnds) {
    EXPECT_NE(folder.find(' '), std::string::npos) << "the folder's name should have blanks";
    EXPECT_EQ(FilesIn(folder),
              (std::set<std::string>{"catalog.txt", "norvanel.exe", "norvanel.txt"}));
    for (const char* name : kDocuments) {
        SCOPED_TRACE(name);
        const std::string text = ReadFile(folder + name);
        ASSERT_FALSE(text.empty());
        for (std::size_t at = text.find('\n'); at != std::string::npos;
             at = text.find('\n', at + 1))
            ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "a bare line feed at byte " << at;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        EXPECT_NE(text.find("mail@varnok.test"), std::string::npos);
        EXPECT_NE(text.find("http://varnok.test/"), std::string::npos);
    }
}

TEST_F(Package, RunsWhereItIsAndOpensItsDocumentsInNotepad) {
    RunKey runKey;
    Norvane program(Norvane::InPlace{}, folder);
    const struct {
        char item;
        const char* document;
        const char* title;
    } menu[] = {{'v', "norvanel.txt", "norvanel"}, {'s', "catalog.txt", "catalog"}};
    for (const auto& [item, document, title] : menu) {
        SCOPED_TRACE(document);
        program.ChooseMenu('h', item);
        HWND notepad = WaitForTopWindow("Notepad", title);
        ASSERT_NE(notepad, nullptr) << "no Notepad window with " << document;
        const std::string expected = ReadFile(folder + document);
        std::string shown;
        EXPECT_TRUE(WaitUntil([&] { return (shown = NotepadText(notepad)) == expected; }))
            << "Notepad shows " << shown.size() << " characters of " << expected.size();
        PostMessageA(notepad, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(notepad); }));
    }
    EXPECT_TRUE(program.NoMessageBoxWithin(200ms));
}

}  // namespace
}  // namespace e2e
