// Test helper. Modes, each "MODE NAME ARGUMENT":
//   text      places ARGUMENT on the clipboard and stays its owner
//   bitmap    the same, with a 24 x 16 bitmap beside the text
//   format    the same, with ARGUMENT also under the registered format "My Format"
//   noowner   places ARGUMENT, then destroys its window: data without an owner
//   delayed   offers text by delayed rendering and then renders nothing
//   hold      places ARGUMENT, then keeps the clipboard open until NAME.release
//   holdfile  keeps the file ARGUMENT open without sharing
// Signals NAME.ready once set up, ends on NAME.quit.
// As the shell's handler of links, "record FILE LINK" appends LINK to FILE
// as a line and ends.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

HGLOBAL Copy(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    return memory;
}

bool Place(HWND owner, const std::string& mode, const char* text) {
    for (int attempt = 0; attempt < 100 && !OpenClipboard(owner); ++attempt) Sleep(30);
    EmptyClipboard();
    bool placed;
    if (mode == "delayed") {
        SetClipboardData(CF_TEXT, nullptr);
        placed = IsClipboardFormatAvailable(CF_TEXT);
    } else {
        placed = SetClipboardData(CF_TEXT, Copy(text)) != nullptr;
    }
    if (mode == "bitmap") {
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 24, 16);
        ReleaseDC(nullptr, screen);
        placed = placed && SetClipboardData(CF_BITMAP, bitmap) != nullptr;
    }
    if (mode == "format")
        placed = placed && SetClipboardData(RegisterClipboardFormatA("My Format"), Copy(text));
    CloseClipboard();
    return placed;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 4) return 2;
    const std::string mode = __argv[1], name = __argv[2];
    const char* text = __argv[3];
    if (mode == "record") {
        HANDLE file = CreateFileA(name.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, 0, nullptr);
        const std::string line = std::string(text) + "\r\n";
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
        return written == line.size() ? 0 : 3;
    }
    if (mode == "holdfile") {
        HANDLE file =
            CreateFileA(text, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, (name + ".quit").c_str());
        SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str()));
        WaitForSingleObject(quit, 60000);
        CloseHandle(file);
        return file == INVALID_HANDLE_VALUE ? 3 : 0;
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "NorvaneTestOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowA("NorvaneTestOwner", "owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr, instance, nullptr);
    if (!Place(owner, mode, text)) return 3;
    if (mode == "noowner") {
        // The data stays when its owner goes; the clipboard then has none.
        DestroyWindow(owner);
        owner = nullptr;
    }
    bool holding = false;
    if (mode == "hold") holding = OpenClipboard(owner);

    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, (name + ".release").c_str());
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, (name + ".quit").c_str());
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str());
    SetEvent(ready);

    HANDLE waits[2] = {quit, release};
    DWORD count = 2;
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(count, waits, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) break;
        if (count == 2 && woke == WAIT_OBJECT_0 + 1) {
            if (holding) CloseClipboard();
            holding = false;
            count = 1;  // released: only quit is left to wait for
            continue;
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    if (holding) CloseClipboard();
    return 0;
}
