#include "ui/window.h"

#include <stdexcept>
#include <string>

namespace norvane {

std::string WindowTextOf(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string ListBoxLineOf(HWND list, int index) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::string line(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(line.data()));
    line.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
    return line;
}

Window::~Window() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::RegisterClassOnce(const char* className, HICON icon) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &existing)) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Window::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = icon;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc))
        throw std::runtime_error(std::string("Cannot register ") + className);
}

void Window::Create(const char* className, const char* caption, DWORD style, DWORD exStyle,
                    const RECT& bounds, HWND owner, HMENU menu) {
    HWND created = CreateWindowExA(exStyle, className, caption, style, bounds.left, bounds.top,
                                   bounds.right - bounds.left, bounds.bottom - bounds.top, owner,
                                   menu, GetModuleHandleA(nullptr), this);
    if (!created) throw std::runtime_error(std::string("Cannot create window ") + className);
    hwnd_ = created;
}

Window* Window::FromHandle(HWND hwnd) {
    if (!hwnd || GetWindowLongPtrA(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Window::Proc))
        return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages come before WM_NCCREATE (WM_GETMINMAXINFO): those get the default.
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    self->hwnd_ = hwnd;
    const LRESULT result = self->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace norvane
