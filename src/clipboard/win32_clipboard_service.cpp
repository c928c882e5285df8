#include "clipboard/win32_clipboard_service.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "ui/handles.h"

namespace norvane {

std::uint32_t Win32ClipboardService::SequenceNumber() {
    return GetClipboardSequenceNumber();
}

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
        if (OpenClipboard(owner)) break;
        if (tried == kTries) return false;
        Sleep(kPauseMs);
    }
    const std::lock_guard lock(observerLock_);
    if (observer_) observer_->Opened(owner);
    return true;
}
bool Win32ClipboardService::Empty() {
    return EmptyClipboard();
}
bool Win32ClipboardService::Close() {
    const bool closed = CloseClipboard();
    const std::lock_guard lock(observerLock_);
    if (closed && observer_) observer_->Closed();
    return closed;
}

void Win32ClipboardService::ObserveOpens(ClipboardOpenObserver* observer) {
    const std::lock_guard lock(observerLock_);
    observer_ = observer;
}

unsigned Win32ClipboardService::EnumFormats(unsigned previous) {
    return EnumClipboardFormats(previous);
}

std::string Win32ClipboardService::FormatName(unsigned format) {
    char name[256] = {};
    const int length = GetClipboardFormatNameA(format, name, 255);
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

namespace {

// The characters of a clipboard text block up to the first zero, never
// beyond the block: another program's data need not end in one.
template <class Char>
std::basic_string_view<Char> TextIn(const LockedMemory& locked, HANDLE block) {
    const auto* chars = static_cast<const Char*>(locked.get());
    const std::size_t capacity = GlobalSize(block) / sizeof(Char);
    return {chars, static_cast<std::size_t>(std::find(chars, chars + capacity, Char{}) - chars)};
}

std::u16string FromAnsi(std::string_view text) {
    // The whole text at once, so that no double-byte character is split.
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    if (length == 0) return {};
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (wide <= 0) return {};
    std::u16string copy(static_cast<std::size_t>(wide), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(copy.data()),
                        wide);
    return copy;
}

}  // namespace

std::optional<std::u16string> Win32ClipboardService::CopyText() {
    const bool unicode = IsClipboardFormatAvailable(CF_UNICODETEXT);
    HANDLE data = GetClipboardData(unicode ? CF_UNICODETEXT : CF_TEXT);
    if (!data) return std::nullopt;
    const LockedMemory locked(data);
    if (!locked.get()) return std::nullopt;
    if (!unicode) return FromAnsi(TextIn<char>(locked, data));
    return std::u16string(TextIn<char16_t>(locked, data));
}

BitmapHandle Win32ClipboardService::CopyBitmap() {
    HANDLE bitmap = GetClipboardData(CF_BITMAP);
    if (!bitmap) return nullptr;
    return static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0));
}

}  // namespace norvane
