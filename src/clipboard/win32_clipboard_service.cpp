#include "clipboard/win32_clipboard_service.h"

#include <windows.h>

#include <cstring>

#include "ui/handles.h"

namespace norvane {

int Win32ClipboardService::CountFormats() {
    return CountClipboardFormats();
}

bool Win32ClipboardService::IsFormatAvailable(unsigned format) {
    return IsClipboardFormatAvailable(format);
}

WindowHandle Win32ClipboardService::Owner() {
    return GetClipboardOwner();
}

std::string Win32ClipboardService::WindowClassName(WindowHandle window) {
    if (!window) return {};
    char name[256] = {};
    const int length = GetClassNameA(window, name, 255);
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

WindowHandle Win32ClipboardService::OpenClipboardWindow() {
    return GetOpenClipboardWindow();
}

bool Win32ClipboardService::Open(WindowHandle owner) {
    // Clipboard managers and history tools open the clipboard on every change
    // and hold it for a moment: a few short tries before it counts as busy.
    constexpr int kTries = 10;
    constexpr DWORD kPauseMs = 10;
    for (int tried = 1;; ++tried) {
        if (OpenClipboard(owner)) return true;
        if (tried == kTries) return false;
        Sleep(kPauseMs);
    }
}
bool Win32ClipboardService::Empty() {
    return EmptyClipboard();
}
bool Win32ClipboardService::Close() {
    return CloseClipboard();
}

unsigned Win32ClipboardService::EnumFormats(unsigned previous) {
    return EnumClipboardFormats(previous);
}

std::string Win32ClipboardService::FormatName(unsigned format) {
    char name[256] = {};
    const int length = GetClipboardFormatNameA(format, name, 255);
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

bool Win32ClipboardService::ReadText(const std::function<void(std::string_view)>& read) {
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return false;
    const LockedMemory locked(data);
    const char* chars = static_cast<const char*>(locked.get());
    if (!chars) return false;
    // Another program's data need not end in a zero: stop at its block's end.
    read(std::string_view(chars, strnlen(chars, GlobalSize(data))));
    return true;
}

BitmapHandle Win32ClipboardService::CopyBitmap() {
    HANDLE bitmap = GetClipboardData(CF_BITMAP);
    if (!bitmap) return nullptr;
    return static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0));
}

}  // namespace norvane
