// Test helper: "text NAME TEXT" places TEXT on the clipboard and stays its
// owner; "hold NAME TEXT" does the same and then keeps the clipboard open
// until the event NAME.release; "holdfile NAME PATH" keeps a file open
// without sharing. Signals NAME.ready once set up, ends on NAME.quit.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

bool PlaceText(HWND owner, const char* text) {
    for (int attempt = 0; attempt < 100 && !OpenClipboard(owner); ++attempt) Sleep(30);
    EmptyClipboard();
    const std::size_t size = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    return placed;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 4) return 2;
    const std::string mode = __argv[1], name = __argv[2];
    const char* text = __argv[3];
    if (mode == "holdfile") {
        HANDLE file = CreateFileA(text, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
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
    if (!PlaceText(owner, text)) return 3;
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
