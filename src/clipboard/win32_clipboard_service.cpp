#include "clipboard/win32_clipboard_service.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string_view>

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

std::optional<std::vector<unsigned>> Win32ClipboardService::UpdatedFormats() {
    // Formats come and go between the calls: asked again while the list
    // grows past the room given.
    std::vector<unsigned> formats(32);
    for (int tries = 0; tries < 4; ++tries) {
        UINT found = 0;
        if (GetUpdatedClipboardFormats(formats.data(), static_cast<UINT>(formats.size()), &found)) {
            formats.resize(std::min<std::size_t>(found, formats.size()));
            return formats;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
        formats.resize(std::max<std::size_t>(found, formats.size() * 2));
    }
    return std::nullopt;
}

namespace {

std::string Utf8Of(std::wstring_view text) {
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    if (length == 0) return {};
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

// The process that made `window` and the file name of its program: its
// path read by `query` (the ANSI or the wide call) into up to `Room`
// characters, the name made text by `toText`.
template <class Char, DWORD Room, class Query, class ToText>
OwnerProgram ProgramWith(WindowHandle window, Query query, ToText toText) {
    OwnerProgram program;
    DWORD processId = 0;
    if (!window || !GetWindowThreadProcessId(window, &processId)) return program;
    program.processId = processId;
    const UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    Char path[Room] = {};
    DWORD length = Room;
    if (!process || !query(process.get(), 0, path, &length)) return program;
    const std::basic_string_view<Char> full(path, length);
    constexpr Char kSeparators[] = {'\\', '/', 0};
    const std::size_t slash = full.find_last_of(kSeparators);
    program.fileName = toText(slash == full.npos ? full : full.substr(slash + 1));
    return program;
}

}  // namespace

std::string Win32ClipboardService::WindowClassNameUtf8(WindowHandle window) {
    if (!window) return {};
    wchar_t name[257] = {};
    const int length = GetClassNameW(window, name, 256);
    return Utf8Of({name, length > 0 ? static_cast<std::size_t>(length) : 0});
}

OwnerProgram Win32ClipboardService::ProgramOf(WindowHandle window) {
    return ProgramWith<char, MAX_PATH>(window, QueryFullProcessImageNameA,
                                       [](std::string_view name) { return std::string(name); });
}

OwnerProgram Win32ClipboardService::ProgramOfUtf8(WindowHandle window) {
    return ProgramWith<wchar_t, 1024>(window, QueryFullProcessImageNameW, Utf8Of);
}

std::string Win32ClipboardService::FormatNameUtf8(unsigned format) {
    wchar_t name[256] = {};
    const int length = GetClipboardFormatNameW(format, name, 255);
    return Utf8Of({name, length > 0 ? static_cast<std::size_t>(length) : 0});
}

bool Win32ClipboardService::Open(WindowHandle owner) {
    // Clipboard managers and history tools open the clipboard on every change
    // and hold it for a moment: a few short tries before it counts as busy.
    constexpr int kTries = 10;
    constexpr DWORD kPauseMs = 10;
    for (int tried = 1;; ++tried) {
        {
            // Each open and close is told under the lock it is made in: the
            // observer never hears one thread's close after another's open.
            const std::lock_guard lock(observerLock_);
            if (OpenClipboard(owner)) {
                if (observer_) observer_->Opened(owner);
                return true;
            }
        }
        if (tried == kTries) return false;
        Sleep(kPauseMs);
    }
}
bool Win32ClipboardService::Empty() {
    return EmptyClipboard();
}
bool Win32ClipboardService::Close() {
    const std::lock_guard lock(observerLock_);
    const bool closed = CloseClipboard();
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
