// The Win32 tests, and the second process some of them start: the test
// program itself, called with a helper role.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "reader/win32_reader_process.h"
#include "reader/win32_reader_role.h"
#include "win32/screen_dpi.h"
#include "win32/second_process.h"

namespace {

// "--hold-file PATH NAME": opens PATH without sharing, signals NAME.ready,
// and keeps it open until NAME.quit.
int HoldFile(const char* path, const std::string& name) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str());
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, (name + ".quit").c_str());
    SetEvent(ready);
    WaitForSingleObject(quit, 60000);
    CloseHandle(file);
    return 0;
}

// "--hold-clipboard MS NAME": puts "held text" on the clipboard, keeps it
// open, signals NAME.ready and lets the clipboard go MS milliseconds after
// NAME.quit.
int HoldClipboard(const std::string& ms, const std::string& name) {
    HWND owner =
        CreateWindowA("STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    // Wine's own clipboard thread may have it open for a moment.
    for (int attempt = 0; !OpenClipboard(owner); ++attempt) {
        if (attempt == 100) return 3;
        Sleep(30);
    }
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, sizeof "held text");
    std::memcpy(GlobalLock(text), "held text", sizeof "held text");
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str());
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, (name + ".quit").c_str());
    SetEvent(ready);
    WaitForSingleObject(quit, 60000);
    Sleep(static_cast<DWORD>(std::stoul(ms)));
    CloseClipboard();
    return 0;
}

// "--start-reader - NAME": starts a reader process with a first reading,
// signals NAME.ready and waits for NAME.quit (or to be killed).
int StartReader(const std::string& name) {
    norvane::ReaderProcess reader;
    reader.Read(0xC0DE, {});
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str());
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, (name + ".quit").c_str());
    SetEvent(ready);
    WaitForSingleObject(quit, 60000);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The readings of the system's clipboard start this program as their reader.
    if (const auto readerExit = norvane::RunAsReaderIfAsked()) return *readerExit;
    if (argc == 4 && std::string(argv[1]) == "--hold-file") return HoldFile(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--start-reader") return StartReader(argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--hold-clipboard")
        return HoldClipboard(argv[2], argv[3]);
    // "--at-dpi N": the tests of the windows on a screen of N pixels per
    // inch, which the test that starts this run has set. Aware of the
    // resolution, as norvanel.exe declares itself.
    const bool atDpi = argc >= 3 && std::string(argv[1]) == "--at-dpi";
    if (atDpi) {
        SetProcessDPIAware();
        norvane::testing::DpiOfThisRun() = std::stoi(argv[2]);
        argv[2] = argv[0];
        argc -= 2;
        argv += 2;
    }
    ::testing::InitGoogleTest(&argc, argv);
    // An ordinary run leaves them to the runs at each resolution.
    if (!atDpi) {
        std::string filter = ::testing::GTEST_FLAG(filter);
        filter += filter.find('-') == std::string::npos ? "-" : ":";
        filter += "AtThisDpi/*";
        ::testing::GTEST_FLAG(filter) = filter;
    }
    return RUN_ALL_TESTS();
}
