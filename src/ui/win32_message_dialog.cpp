#include "ui/win32_message_dialog.h"

#include <windows.h>

#include <string>
#include <utility>

#include "ui/application.h"

namespace norvane {
namespace {

// A system message box with Yes and No ignores Escape. While such a box is
// up, a CBT hook catches its window and a subclass turns the Cancel command
// that Escape produces into No.
thread_local HHOOK activeHook = nullptr;
thread_local WNDPROC boxProc = nullptr;

LRESULT CALLBACK YesNoBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        return CallWindowProcA(boxProc, box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                               reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
    return CallWindowProcA(boxProc, box, message, wParam, lParam);
}

LRESULT CALLBACK CatchBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !boxProc) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        GetClassNameA(box, className, sizeof className);
        if (std::string_view(className) == "#32770")
            boxProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YesNoBoxProc)));
    }
    return CallNextHookEx(activeHook, code, wParam, lParam);
}

class EscapeAnswersNo {
  public:
    EscapeAnswersNo() {
        boxProc = nullptr;
        activeHook = SetWindowsHookExA(WH_CBT, &CatchBox, nullptr, GetCurrentThreadId());
    }
    ~EscapeAnswersNo() {
        if (activeHook) UnhookWindowsHookEx(activeHook);
        activeHook = nullptr;
        boxProc = nullptr;
    }
    EscapeAnswersNo(const EscapeAnswersNo&) = delete;
    EscapeAnswersNo& operator=(const EscapeAnswersNo&) = delete;
};

thread_local HWND namedOwner = nullptr;  // set by a BoxesOwnedBy

HWND BoxOwner() {
    if (namedOwner) return IsWindowVisible(namedOwner) ? namedOwner : nullptr;
    HWND active = GetActiveWindow();
    return active && IsWindowVisible(active) ? active : nullptr;
}

// A message box enables its owner again when it closes, also an owner that
// was disabled before: the main window while a dialog is shown modally (its
// FormShow runs before it becomes the active window). The owner is left
// as the box found it.
class OwnerStateKept {
  public:
    explicit OwnerStateKept(HWND owner)
        : owner_(owner), wasDisabled_(owner && !IsWindowEnabled(owner)) {}
    ~OwnerStateKept() {
        if (wasDisabled_ && IsWindow(owner_)) EnableWindow(owner_, FALSE);
    }
    OwnerStateKept(const OwnerStateKept&) = delete;
    OwnerStateKept& operator=(const OwnerStateKept&) = delete;
    HWND get() const { return owner_; }

  private:
    HWND owner_;
    bool wasDisabled_;
};

}  // namespace

BoxesOwnedBy::BoxesOwnedBy(HWND window) : before_(std::exchange(namedOwner, window)) {}

BoxesOwnedBy::~BoxesOwnedBy() {
    namedOwner = before_;
}

MessageAnswer Win32MessageDialog::Show(std::string_view text, MessageKind kind,
                                       MessageButtons buttons) {
    UINT style = MB_APPLMODAL;
    const char* title = "Information";
    switch (kind) {
        case MessageKind::Warning:
            style |= MB_ICONWARNING;
            title = "Warning";
            break;
        case MessageKind::Error:
            style |= MB_ICONERROR;
            title = "Error";
            break;
        case MessageKind::Information:
            style |= MB_ICONINFORMATION;
            break;
    }
    const std::string body(text);
    const OwnerStateKept owner(BoxOwner());
    if (buttons == MessageButtons::Ok) {
        const int answer = MessageBoxA(owner.get(), body.c_str(), title, style | MB_OK);
        return answer == IDOK ? MessageAnswer::Ok : MessageAnswer::Closed;
    }
    EscapeAnswersNo escape;
    const int answer =
        MessageBoxA(owner.get(), body.c_str(), title, style | MB_YESNO | MB_DEFBUTTON1);
    switch (answer) {
        case IDYES:
            return MessageAnswer::Yes;
        case IDNO:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Closed;
    }
}

void Win32MessageDialog::ShowError(std::string_view text) noexcept {
    try {
        const std::string body(text);
        const OwnerStateKept owner(BoxOwner());
        MessageBoxA(owner.get(), body.c_str(), ApplicationTitle().c_str(),
                    MB_APPLMODAL | MB_ICONERROR | MB_OK);
    } catch (...) {
        MessageBoxA(nullptr, "Unknown error", "Error", MB_ICONERROR | MB_OK);
    }
}

}  // namespace norvane
