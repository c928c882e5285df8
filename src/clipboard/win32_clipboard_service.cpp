#include "clipboard/win32_clipboard_service.h"

#include <windows.h>

namespace norvane {

int Win32ClipboardService::CountFormats() { return CountClipboardFormats(); }

bool Win32ClipboardService::IsFormatAvailable(unsigned format) {
    return IsClipboardFormatAvailable(format);
}

WindowHandle Win32ClipboardService::Owner() { return GetClipboardOwner(); }

std::string Win32ClipboardService::WindowClassName(WindowHandle window) {
    if (!window) return {};
    char name[256] = {};
    const int length = GetClassNameA(window, name, 255);
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

bool Win32ClipboardService::Open(WindowHandle owner) { return OpenClipboard(owner); }
bool Win32ClipboardService::Empty() { return EmptyClipboard(); }
bool Win32ClipboardService::Close() { return CloseClipboard(); }

unsigned Win32ClipboardService::EnumFormats(unsigned previous) {
    return EnumClipboardFormats(previous);
}

std::string Win32ClipboardService::FormatName(unsigned format) {
    char name[256] = {};
    const int length = GetClipboardFormatNameA(format, name, 255);
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace norvane
