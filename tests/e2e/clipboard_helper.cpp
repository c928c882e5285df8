// Test helper. Modes, each "MODE NAME ARGUMENT":
//   text      places ARGUMENT on the clipboard and stays its owner
//   bitmap    the same, with a 24 x 16 bitmap beside the text
//   format    the same, with ARGUMENT also under the registered format "My Format"
//   noowner   places ARGUMENT, then destroys its window: data without an owner
//   delayed   offers text by delayed rendering and then renders nothing
//   hold      places ARGUMENT, then keeps the clipboard open until NAME.release
//   holdonly  keeps the clipboard open until NAME.release, placing nothing
//   holdfile  keeps the file ARGUMENT open without sharing
//   listbox   shows a list box (window class NorvaneTestList) whose line 0 is
//             ARGUMENT and whose line 1 grows each time it is read
//   crash     writes through a null pointer once ready
//   inspect   ARGUMENT as text in formats 1 and 13 (with " \u00e9t\u00e9" in 13), 300
//             known bytes under "Norvane Bytes", a 24 x 16 bitmap (left half red,
//             right half blue), an enhanced metafile (a rectangle), and "Norvane
//             Delayed" by delayed rendering, which it never renders
//   bytes     ARGUMENT as text, and as many known bytes as ARGUMENT says under
//             "Norvane Bytes" (byte i is i * 7 + 3)
//   burst     places what "bytes" places five times in a row, each a change
//             of its own, as a clipboard manager might
//   hostile   the malformed data named ARGUMENT, alone, as a careless or hostile
//             program would place it (see kHostileData)
// Signals NAME.ready once set up, ends on NAME.quit.
// As the shell's handler of links, "record FILE LINK" appends LINK to FILE
// as a line and ends.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

namespace {

HGLOBAL Copy(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    return memory;
}

HGLOBAL KnownBytes(std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(memory));
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    GlobalUnlock(memory);
    return memory;
}

HGLOBAL WideCopy(const char* text) {
    std::wstring wide;
    for (const char* c = text; *c; ++c)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    wide += L" \u00e9t\u00e9";
    const std::size_t size = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), wide.c_str(), size);
    GlobalUnlock(memory);
    return memory;
}

// Left half red, right half blue.
HBITMAP TwoColourBitmap() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 24, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    const RECT left{0, 0, 12, 16}, right{12, 0, 24, 16};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &left, red);
    FillRect(dc, &right, blue);
    SelectObject(dc, previous);
    DeleteObject(red);
    DeleteObject(blue);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

HENHMETAFILE RectangleMetafile() {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    Rectangle(dc, 10, 20, 110, 70);
    return CloseEnhMetaFile(dc);
}

bool PlaceForInspection(const std::string& mode, const char* text) {
    const UINT bytes = RegisterClipboardFormatA("Norvane Bytes");
    if (mode == "bytes")
        return SetClipboardData(bytes, KnownBytes(std::strtoul(text, nullptr, 10))) != nullptr;
    return SetClipboardData(CF_UNICODETEXT, WideCopy(text)) != nullptr &&
           SetClipboardData(bytes, KnownBytes(300)) != nullptr &&
           SetClipboardData(CF_BITMAP, TwoColourBitmap()) != nullptr &&
           SetClipboardData(CF_ENHMETAFILE, RectangleMetafile()) != nullptr &&
           (SetClipboardData(RegisterClipboardFormatA("Norvane Delayed"), nullptr),
            IsClipboardFormatAvailable(RegisterClipboardFormatA("Norvane Delayed")));
}

// Little-endian fields written into a block at their offsets.
struct Field {
    std::size_t at;
    std::uint32_t value;
    std::size_t width = 4;
};

HGLOBAL BlockOf(std::size_t size, std::initializer_list<Field> fields) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(memory));
    for (const Field& f : fields)
        for (std::size_t i = 0; i < f.width && f.at + i < size; ++i)
            bytes[f.at + i] = static_cast<unsigned char>(f.value >> (8 * i));
    GlobalUnlock(memory);
    return memory;
}

// A bitmap header (40 or 124 bytes) in a block of `size` bytes.
HGLOBAL Dib(std::uint32_t headerSize, std::size_t size, std::int32_t width, std::int32_t height,
            std::uint16_t bits, std::uint32_t colorsUsed) {
    return BlockOf(size, {{0, headerSize},
                          {4, static_cast<std::uint32_t>(width)},
                          {8, static_cast<std::uint32_t>(height)},
                          {12, 1, 2},
                          {14, bits, 2},
                          {32, colorsUsed}});
}

// An enhanced metafile cut off before its end record. The system takes no
// header that claims more bytes than it is given: the header claims only
// what is left, and its count of records still the end record.
HENHMETAFILE TruncatedMetafile() {
    HENHMETAFILE whole = RectangleMetafile();
    std::string bits(GetEnhMetaFileBits(whole, 0, nullptr), '\0');
    GetEnhMetaFileBits(whole, static_cast<UINT>(bits.size()), reinterpret_cast<BYTE*>(bits.data()));
    DeleteEnhMetaFile(whole);
    const auto cut = static_cast<std::uint32_t>(bits.size() - 20);  // EMR_EOF takes 20 bytes
    std::memcpy(bits.data() + 48, &cut, sizeof cut);                // ENHMETAHEADER.nBytes
    return SetEnhMetaFileBits(cut, reinterpret_cast<const BYTE*>(bits.data()));
}

struct HostileData {
    const char* name;
    UINT format;
    HANDLE (*make)();
};

// Each way a header can lie that the readers check, and data that is not
// there. (Wine takes neither a zero-byte block nor a metafile picture
// without a metafile from a program: the tests give those through a fake.)
const HostileData kHostileData[] = {
    // Its sizes sum to 0 modulo 2^32: 40 + 4 x 0x7FFFFFF6 + 0x1FFFFFFFC x 2^31.
    {"dib-sizes-wrap", CF_DIB,
     [] { return HANDLE(Dib(40, 40, 0x7FFFFFFF, INT32_MIN, 32, 0x7FFFFFF6)); }},
    // 124 + 4 x 0x3FFFFFE1 + 0x1FFFFFFFC x 2^31: 0 modulo 2^32.
    {"dibv5-sizes-wrap", CF_DIBV5,
     [] { return HANDLE(Dib(124, 124, 0x7FFFFFFF, INT32_MIN, 32, 0x3FFFFFE1)); }},
    {"dib-colours-beyond", CF_DIB, [] { return HANDLE(Dib(40, 48, 2, 2, 8, 0)); }},
    {"dibv5-colours-beyond", CF_DIBV5, [] { return HANDLE(Dib(124, 132, 2, 2, 4, 16)); }},
    {"dib-negative-width", CF_DIB, [] { return HANDLE(Dib(40, 40 + 8 * 48, -16, 8, 24, 0)); }},
    {"dib-zero-height", CF_DIB, [] { return HANDLE(Dib(40, 40 + 48, 16, 0, 24, 0)); }},
    {"dibv5-header-beyond", CF_DIBV5, [] { return HANDLE(Dib(124, 64, 4, 4, 24, 0)); }},
    {"emf-truncated", CF_ENHMETAFILE, [] { return HANDLE(TruncatedMetafile()); }},
    {"dib-never-rendered", CF_DIB, [] { return HANDLE(nullptr); }},
};

bool PlaceHostile(const char* name) {
    for (const HostileData& data : kHostileData)
        if (std::strcmp(data.name, name) == 0) {
            HANDLE handle = data.make();
            // Nothing made (a delayed format) is placed too; an owner renders it or not.
            return (handle || std::strcmp(name, "dib-never-rendered") == 0) &&
                   (SetClipboardData(data.format, handle), IsClipboardFormatAvailable(data.format));
        }
    return false;
}

WNDPROC listProc = nullptr;

// Answers a read of line 1, then makes that line longer. A wide list box:
// the reads come from another process in their wide form.
LRESULT CALLBACK GrowingList(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(listProc, list, message, wParam, lParam);
    if (message == LB_GETTEXT && wParam == 1) {
        const auto length = CallWindowProcW(listProc, list, LB_GETTEXTLEN, 1, 0);
        const std::wstring longer(static_cast<std::size_t>(length) + 100, L'x');
        CallWindowProcW(listProc, list, LB_DELETESTRING, 1, 0);
        CallWindowProcW(listProc, list, LB_INSERTSTRING, 1,
                        reinterpret_cast<LPARAM>(longer.c_str()));
    }
    return result;
}

void ShowList(HINSTANCE instance, const char* steady) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "NorvaneTestList";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("NorvaneTestList", "list", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                200, 200, nullptr, nullptr, instance, nullptr);
    HWND list = CreateWindowW(L"ListBox", L"", WS_CHILD | WS_VISIBLE, 0, 0, 180, 150, window,
                              nullptr, instance, nullptr);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(steady));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("growing"));
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GrowingList)));
}

bool Place(HWND owner, const std::string& mode, const char* text) {
    for (int attempt = 0; attempt < 100 && !OpenClipboard(owner); ++attempt) Sleep(30);
    EmptyClipboard();
    bool placed;
    if (mode == "hostile") {
        placed = PlaceHostile(text);
    } else if (mode == "delayed") {
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
    if (mode == "inspect" || mode == "bytes") placed = placed && PlaceForInspection(mode, text);
    CloseClipboard();
    return placed;
}

// Appends ARGUMENT as a line to the file NAME: a link the shell opened.
int Record(const std::string& file, const char* link) {
    HANDLE handle = CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, 0, nullptr);
    const std::string line = std::string(link) + "\r\n";
    DWORD written = 0;
    WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(handle);
    return written == line.size() ? 0 : 3;
}

int HoldFile(const std::string& name, const char* path) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, (name + ".quit").c_str());
    SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str()));
    WaitForSingleObject(quit, 60000);
    CloseHandle(file);
    return file == INVALID_HANDLE_VALUE ? 3 : 0;
}

int Crash(const std::string& name) {
    SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str()));
    *static_cast<volatile int*>(nullptr) = 1;
    return 0;
}

// Runs the owner's messages until quit; "release" closes a clipboard held open.
void RunUntilQuit(const std::string& name, bool holding) {
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
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 4) return 2;
    const std::string mode = __argv[1], name = __argv[2];
    const char* text = __argv[3];
    if (mode == "record") return Record(name, text);
    if (mode == "holdfile") return HoldFile(name, text);
    if (mode == "crash") return Crash(name);

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "NorvaneTestOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowA("NorvaneTestOwner", "owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr, instance, nullptr);
    if (mode == "listbox") {
        ShowList(instance, text);
    } else if (mode == "burst") {
        for (int round = 0; round < 5; ++round)
            if (!Place(owner, "bytes", text)) return 3;
    } else if (mode != "holdonly" && !Place(owner, mode, text)) {
        return 3;
    }
    if (mode == "noowner") {
        // The data stays when its owner goes; the clipboard then has none.
        DestroyWindow(owner);
        owner = nullptr;
    }
    const bool holding = (mode == "hold" || mode == "holdonly") && OpenClipboard(owner);
    RunUntilQuit(name, holding);
    return 0;
}
